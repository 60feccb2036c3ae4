#pragma once

#include "output/IFrameOutput.h"

#include <string>

// Saves each capture as an image file in the user's folder, named after the frame.
class cDiskFileOutput : public IFrameOutput {
public:
    // The folder starts as the user's desktop.
    cDiskFileOutput();

    // Key "Folder".
    void load(ISettingBag* bag) override;
    void save(ISettingBag* bag) override;

    // Saves the frame as a new file in the folder (see saveNewImageFile): under the frame's file
    // stem, or the next free number when a file of that name exists; the record then carries the
    // file's path and format, and the frame the number its name took. A file that cannot be
    // created, written or closed, and a path longer than kMaxImagePathLength, raise FileException;
    // no partial file stays behind.
    void put(stCaptureRecord* capture, int format, IFrameOutputUpdate* update) override;
    void cancelPending() override {}

    const std::wstring& folder() const noexcept { return folder_; }
    void setFolder(std::wstring folder) { folder_ = std::move(folder); }

    // The file put writes for a frame of this name when no file of that name exists.
    std::wstring imagePath(const std::wstring& frameName, int format) const;

    // The desktop folder with a trailing backslash; empty when the shell does not know it.
    static std::wstring desktopFolder();

private:
    std::wstring folder_;
};
