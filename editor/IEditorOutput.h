#pragma once

#include "capture/cFrame.h"

// Where the editor's image goes: the application's outputs. Declared here and implemented by the
// application, so the editor needs nothing of it.
class IEditorOutput {
public:
    // Through every output, exactly like a capture (name, disk, clipboard, upload).
    virtual void sendEdited(FramePtr frame) = 0;
    // To the clipboard only.
    virtual void copyEdited(FramePtr frame) = 0;

protected:
    ~IEditorOutput() = default;
};
