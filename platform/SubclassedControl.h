#pragma once

#include "platform/MessageHandlers.h"

#include <windows.h>

// A control of a dialog whose messages reach the typed handlers before the control's own
// procedure (window subclassing); what they leave goes on to the control. The subclass is removed
// when the control or this object goes. No exception leaves the procedure.
class SubclassedControl : public MessageHandlers {
public:
    SubclassedControl() = default;
    ~SubclassedControl() override { detach(); }

    // Takes over the dialog's control with this id; false when there is none.
    bool attach(HWND dialog, int id);
    void detach() noexcept;

    HWND hwnd() const noexcept { return hwnd_; }

private:
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);

    HWND hwnd_ = nullptr;
};
