#include "output/cDiskFileOutput.h"

#include "output/ImageFilePath.h"
#include "output/NewImageFile.h"
#include "platform/PathText.h"

#include <shlobj.h>

namespace {

const wchar_t kFolderKey[] = L"Folder";

} // namespace

cDiskFileOutput::cDiskFileOutput() : folder_(desktopFolder()) {}

std::wstring cDiskFileOutput::desktopFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    // Without it the images would land in the root of the current drive.
    return buffer[0] ? withTrailingBackslash(buffer) : std::wstring();
}

void cDiskFileOutput::load(ISettingBag* bag) {
    std::wstring folder;
    if (bag && bag->getString(kFolderKey, folder))
        folder_ = std::move(folder);
}

void cDiskFileOutput::save(ISettingBag* bag) {
    if (bag)
        bag->setString(kFolderKey, folder_);
}

std::wstring cDiskFileOutput::imagePath(const std::wstring& frameName, int format) const {
    return imageFilePath(folder_, frameName, format);
}

void cDiskFileOutput::put(const cFrame* frame, int format, IFrameOutputUpdate* update) {
    storedNameNumber_ = 0;
    storedBytes_.reset();
    if (!frame)
        return;
    NewImageFile saved = saveNewImageFile(folder_, *frame, format, update, frame->savedImageWanted);
    if (!saved.complete)
        return;
    storedNameNumber_ = saved.nameNumber;
    storedBytes_ = std::move(saved.bytes);
    if (update)
        update->notify(true, L"Image written to disk", L" ");
}
