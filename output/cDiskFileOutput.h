#pragma once

#include "output/IFrameOutput.h"

#include <string>

// Saves each frame as an image file in the user's folder, named after the frame.
class cDiskFileOutput : public IFrameOutput {
public:
    // The folder starts as the user's desktop.
    cDiskFileOutput();

    // Key "Folder".
    void load(ISettingBag* bag) override;
    void save(ISettingBag* bag) override;

    // Creates (or replaces) the file and lets the format's writer encode into it. A file that
    // cannot be created, written or closed, and a path longer than kMaxImagePathLength, raise
    // FileException.
    void put(const cFrame* frame, int format, IFrameOutputUpdate* update) override;
    void cancelPending() override {}

    const std::wstring& folder() const noexcept { return folder_; }
    void setFolder(std::wstring folder) { folder_ = std::move(folder); }

    // The file put writes for a frame of this name.
    std::wstring imagePath(const std::wstring& frameName, int format) const;

    // The desktop folder with a trailing backslash; empty when the shell does not know it.
    static std::wstring desktopFolder();

private:
    std::wstring folder_;
};
