#include "output/cDiskFileOutput.h"

#include "output/FrameWriting.h"
#include "output/ImageFilePath.h"
#include "platform/DiskFile.h"
#include "platform/FileException.h"

#include <shlobj.h>

namespace {

const wchar_t kFolderKey[] = L"Folder";

} // namespace

cDiskFileOutput::cDiskFileOutput() : folder_(desktopFolder()) {}

std::wstring cDiskFileOutput::desktopFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    std::wstring folder = buffer;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
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
    if (!frame)
        return;
    const std::wstring path = imagePath(frame->name, format);
    // A cut name would land the image somewhere the user did not choose.
    if (path.size() > kMaxImagePathLength)
        throw FileException(ERROR_FILENAME_EXCED_RANGE, path,
                            L"The path of the image file is too long.");

    DiskFile file(path, DiskFile::Mode::CreateReadWrite);
    const bool written = writeFrameAs(format, frame, &file, update);
    file.flush();
    file.close();
    if (written && update)
        update->notify(true, L"Image written to disk", L" ");
}
