#include "platform/Dialog.h"
#include "platform/MemoryException.h"
#include "platform/MessagePump.h"
#include "support/PaintedWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kEditId = 100;
constexpr int kFinishId = 500;
constexpr int kThrowId = 501;

// A dialog template in memory: a caption, an edit box and an OK button.
class TemplateBuilder {
public:
    TemplateBuilder() {
        DLGTEMPLATE header{};
        header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        header.cdit = 2;
        header.cx = 160;
        header.cy = 60;
        append(&header, sizeof header);
        words({0, 0});        // no menu, the default class
        text(L"Test dialog"); // caption
        words({8});           // font size, then its name
        text(L"MS Shell Dlg");
        control(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER, 5, 5, 100, 12,
                kEditId, 0x0081);
        control(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 110, 5, 40, 14, IDOK,
                0x0080);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    void append(const void* bytes, std::size_t size) {
        const auto* p = static_cast<const WORD*>(bytes);
        data_.insert(data_.end(), p, p + size / sizeof(WORD));
    }
    void words(std::initializer_list<WORD> values) { data_.insert(data_.end(), values); }
    void text(const wchar_t* value) {
        for (; *value; ++value)
            data_.push_back(static_cast<WORD>(*value));
        data_.push_back(0);
    }
    void control(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom) {
        if (data_.size() % 2)
            data_.push_back(0); // each item starts on a DWORD boundary
        DLGITEMTEMPLATE item{};
        item.style = style;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        append(&item, sizeof item);
        words({0xFFFF, atom, 0, 0}); // class by atom, no text, no creation data
    }
    std::vector<WORD> data_;
};

class RecordingDialog : public Dialog {
public:
    using Dialog::Dialog;
    std::vector<std::string> calls;
    bool controlsAtInit = false;
    bool ownerEnabledAtFinish = true;
    HWND owner = nullptr;
    std::vector<std::wstring> reported;

protected:
    bool onInitDialog() override {
        calls.push_back("init");
        controlsAtInit = item(kEditId) != nullptr && item(IDOK) != nullptr;
        return true;
    }
    bool onCommand(int id, int code, HWND control) override {
        calls.push_back("command " + std::to_string(id));
        if (id == kThrowId)
            throw MemoryException();
        if (id == kFinishId) {
            ownerEnabledAtFinish = owner ? ::IsWindowEnabled(owner) != FALSE : true;
            endDialog(42);
            return true;
        }
        return Dialog::onCommand(id, code, control);
    }
    bool onMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) override {
        if (message == WM_USER + 1) {
            result = 1234;
            return true;
        }
        return false;
    }
    void onUnhandledException(const AppException& error) noexcept override {
        reported.push_back(error.message());
    }
};

class DialogTest : public ::testing::Test {
protected:
    TemplateBuilder dialogTemplate;
};

// Posted before the loop runs, a message is handled once the dialog is up.
void postWhenUp(RecordingDialog& dialog, UINT message, WPARAM wParam) {
    MessagePump::setThreadMessageHandler([&dialog, message, wParam](const MSG& msg) {
        if (msg.message == WM_APP && dialog.hwnd())
            ::PostMessageW(dialog.hwnd(), message, wParam, 0);
    });
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0);
}

TEST_F(DialogTest, ObjectIsKnownFromInitDialogOnWithItsControls) {
    RecordingDialog dialog(dialogTemplate.get());
    postWhenUp(dialog, WM_COMMAND, kFinishId);
    EXPECT_EQ(dialog.runModal(nullptr), 42);
    MessagePump::setThreadMessageHandler(nullptr);
    ASSERT_FALSE(dialog.calls.empty());
    EXPECT_EQ(dialog.calls.front(), "init");
    EXPECT_TRUE(dialog.controlsAtInit);
    EXPECT_EQ(dialog.hwnd(), nullptr); // destroyed when the loop ended
}

TEST_F(DialogTest, EscapeInAControlEndsTheDialogWithCancel) {
    RecordingDialog dialog(dialogTemplate.get());
    MessagePump::setThreadMessageHandler([&dialog](const MSG& msg) {
        if (msg.message == WM_APP && dialog.hwnd()) {
            HWND edit = dialog.item(kEditId);
            ::SetFocus(edit);
            ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    });
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0);
    EXPECT_EQ(dialog.runModal(nullptr), IDCANCEL);
    MessagePump::setThreadMessageHandler(nullptr);
}

TEST_F(DialogTest, OwnerIsDisabledWhileTheDialogRunsAndEnabledAfter) {
    PaintedWindow owner(RECT{50, 50, 250, 150}, nullptr);
    RecordingDialog dialog(dialogTemplate.get());
    dialog.owner = owner.hwnd();
    postWhenUp(dialog, WM_COMMAND, kFinishId);
    EXPECT_EQ(dialog.runModal(owner.hwnd()), 42);
    MessagePump::setThreadMessageHandler(nullptr);
    EXPECT_FALSE(dialog.ownerEnabledAtFinish);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));
}

TEST_F(DialogTest, ThreadMessagesArriveWhileTheDialogIsOpen) {
    RecordingDialog dialog(dialogTemplate.get());
    std::vector<WPARAM> requests;
    MessagePump::setThreadMessageHandler([&](const MSG& msg) {
        if (msg.message == 0x6A6) {
            requests.push_back(msg.wParam);
            ::PostMessageW(dialog.hwnd(), WM_COMMAND, kFinishId, 0);
        }
    });
    ::PostThreadMessageW(::GetCurrentThreadId(), 0x6A6, 1, 0);
    EXPECT_EQ(dialog.runModal(nullptr), 42);
    MessagePump::setThreadMessageHandler(nullptr);
    EXPECT_EQ(requests, std::vector<WPARAM>{1});
}

TEST_F(DialogTest, ExceptionInAHandlerIsReportedAndTheDialogStaysOpen) {
    RecordingDialog dialog(dialogTemplate.get());
    MessagePump::setThreadMessageHandler([&dialog](const MSG& msg) {
        if (msg.message == WM_APP && dialog.hwnd()) {
            ::PostMessageW(dialog.hwnd(), WM_COMMAND, kThrowId, 0);
            ::PostMessageW(dialog.hwnd(), WM_COMMAND, kFinishId, 0);
        }
    });
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0);
    EXPECT_EQ(dialog.runModal(nullptr), 42);
    MessagePump::setThreadMessageHandler(nullptr);
    EXPECT_EQ(dialog.reported, std::vector<std::wstring>{L"内存不足."});
}

TEST_F(DialogTest, HandledMessageAnswersThroughTheDialogResult) {
    RecordingDialog dialog(dialogTemplate.get());
    LRESULT answer = 0;
    MessagePump::setThreadMessageHandler([&](const MSG& msg) {
        if (msg.message == WM_APP && dialog.hwnd()) {
            answer = ::SendMessageW(dialog.hwnd(), WM_USER + 1, 0, 0);
            dialog.endDialog(7);
        }
    });
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0);
    EXPECT_EQ(dialog.runModal(nullptr), 7);
    MessagePump::setThreadMessageHandler(nullptr);
    EXPECT_EQ(answer, 1234);
}

TEST_F(DialogTest, MissingTemplateGivesMinusOne) {
    RecordingDialog dialog(static_cast<UINT>(9999));
    EXPECT_EQ(dialog.runModal(nullptr), -1);
    EXPECT_TRUE(dialog.calls.empty());
}

} // namespace
