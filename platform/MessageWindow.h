#pragma once

#include "platform/Window.h"

// A window that is never shown (message-only), for work of the GUI thread that is driven by timers
// and posted messages. Its handlers run inside the thread's message loops, modal ones included,
// where no message box belongs: an exception that escapes one ends in a beep.
class MessageWindow : public Window {
public:
    // Creates the window on the calling thread; raises ResourceException when it can't.
    MessageWindow();

protected:
    void onUnhandledException(const AppException& error) noexcept override;
};
