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

void cDiskFileOutput::put(stCaptureRecord* capture, int format, IFrameOutputUpdate* update) {
    if (!capture || !capture->frame)
        return;
    cFrame& frame = *capture->frame;
    const NewImageFile saved = saveNewImageFile(folder_, frame, format, update);
    if (!saved.complete)
        return;
    // The outputs after this one name the image as its file is named.
    frame.nameNumber = saved.nameNumber;
    capture->savedPath = saved.path;
    capture->savedFormat = format;
    if (update)
        update->notify(true, L"Image written to disk", L" ");
}
