// The hot key dialog from the program's resources, driven by real clicks and key presses, with the
// real keyboard hook reading the same table.
#include "hotkeys/CaptureRequest.h"
#include "hotkeys/KeySeqDescription.h"
#include "hotkeys/KeyboardHook.h"
#include "hotkeys/cKeySettingsDlg.h"
#include "platform/MessagePump.h"
#include "res/HotKeyDialogIds.h"
#include "support/InputScript.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Requests = std::vector<WPARAM>;

bool operator==(const cHotKeySettings& a, const cHotKeySettings& b) {
    return a.full == b.full && a.active == b.active && a.select == b.select && a.edit == b.edit;
}

std::wstring textOf(HWND window) {
    wchar_t text[512] = L"";
    ::GetWindowTextW(window, text, 512);
    return text;
}

class HotKeyDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        hook.install(::GetCurrentThreadId(), table);
        MessagePump::setThreadMessageHandler([this](const MSG& msg) {
            if (msg.message == WM_CAPTURE_REQUEST)
                requests.push_back(msg.wParam);
        });
        script.onTimeout = [this] { dialog.endDialog(-2); };
    }
    void TearDown() override { MessagePump::setThreadMessageHandler(nullptr); }

    // Runs the dialog once more while the script goes on; after a failed script nothing would end
    // it, so it does not run.
    INT_PTR run() {
        if (script.failed())
            return -2;
        script.start();
        const INT_PTR result = dialog.runModal(nullptr);
        ++runsEnded;
        return result;
    }
    // The next steps wait for a dialog in front.
    void opened() {
        script.waitFor([this] { return dialog.hwnd() && ::GetForegroundWindow() == dialog.hwnd(); },
                       "the dialog in front");
    }
    // The steps before end the dialog; one still open times the script out.
    void closed() {
        const int runs = ++runsClosed;
        script.waitFor([this, runs] { return runsEnded >= runs; }, "the dialog to close");
    }
    void click(int id) {
        script.then([this, id] {
            RECT r{};
            ::GetWindowRect(dialog.item(id), &r);
            script.click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        });
        if (id != IDOK && id != IDCANCEL)
            script.waitFor([this, id] { return ::GetFocus() == dialog.item(id); }, "the focus");
    }
    // Presses the held keys in their order (a key given twice repeats), taps key, lets go.
    void press(std::initializer_list<WORD> held, WORD key) {
        const std::vector<WORD> keys(held);
        script.then([this, keys, key] {
            for (WORD down : keys)
                script.keyDown(down);
            script.keyDown(key);
            script.releaseAll();
        });
    }
    void waitForShown(int id, const KeySeq& keys) {
        script.waitFor([this, id, keys] { return caption(id) == describeKeySeq(keys); },
                       "the recorded keys");
    }
    std::wstring caption(int id) const { return textOf(dialog.item(id)); }

    cHotKeySettings table;
    KeyboardHook hook;
    cKeySettingsDlg dialog{&table};
    InputScript script;
    Requests requests;
    int runsClosed = 0;
    int runsEnded = 0;
};

TEST_F(HotKeyDialogTest, OkWithoutChangesAndCancelEscapeOrCloseAfterChangesKeepTheTable) {
    table.full = {VK_F12};
    table.active = {};
    table.select = {VK_CONTROL, VK_MENU, 'S'};
    table.edit = {VK_SHIFT, VK_F11};
    const cHotKeySettings before = table;
    std::vector<std::wstring> shown;
    int focused = 0;
    int pushLikeRecorders = 0;
    opened();
    script.then([&] {
        shown = {textOf(dialog.hwnd()), caption(IDC_FULL_KEYS), caption(IDC_SELECT_KEYS),
                 caption(IDC_ACTIVE_KEYS), caption(IDC_EDIT_KEYS)};
        focused = ::GetDlgCtrlID(::GetFocus());
        for (int id : {IDC_FULL_KEYS, IDC_SELECT_KEYS, IDC_ACTIVE_KEYS, IDC_EDIT_KEYS}) {
            const LONG style = ::GetWindowLongW(dialog.item(id), GWL_STYLE);
            const LONG kept = BS_TYPEMASK | BS_PUSHLIKE | BS_FLAT | WS_TABSTOP;
            pushLikeRecorders += (style & kept) == (BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_FLAT);
        }
    });
    click(IDOK);
    closed();
    for (WORD cancel : {0, VK_ESCAPE, VK_F4}) {
        opened();
        for (int reset : {IDC_RESET_FULL, IDC_RESET_SELECT, IDC_RESET_ACTIVE, IDC_RESET_EDIT})
            click(reset);
        click(IDC_SELECT_KEYS);
        press({}, 'K');
        waitForShown(IDC_SELECT_KEYS, {'K'});
        if (cancel == VK_F4)
            press({VK_LMENU}, VK_F4); // what the close box does
        else if (cancel)
            press({}, cancel);
        else
            click(IDCANCEL);
        closed();
    }

    EXPECT_EQ(run(), IDOK);
    EXPECT_TRUE(table == before);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"快捷键设置...", describeKeySeq(before.full),
                                                describeKeySeq(before.select), L"",
                                                describeKeySeq(before.edit)}));
    // The recorders are no tab stops, so the focus starts on OK.
    EXPECT_EQ(focused, IDOK);
    EXPECT_EQ(pushLikeRecorders, 4);
    for (const char* how : {"Cancel", "Escape", "close"}) {
        EXPECT_EQ(run(), IDCANCEL) << how;
        EXPECT_TRUE(table == before) << how;
    }
}

TEST_F(HotKeyDialogTest, ResetThenOkStoresAnEmptyEntryThatNeverFires) {
    opened();
    script.then([this] {
        // The layout's key names as a person reads them: Windows calls the key Ctrl, Wine Control.
        const std::wstring full = caption(IDC_FULL_KEYS);
        EXPECT_TRUE(full == L"'Ctrl' + 'Shift' + 'F'" || full == L"'Control' + 'Shift' + 'F'")
            << full;
        EXPECT_TRUE(saveWindowScreenshot(dialog.hwnd(), L"hotkey-dialog.png"));
    });
    click(IDC_RESET_FULL);
    waitForShown(IDC_FULL_KEYS, {});
    press({}, 'J'); // the focus is on Reset: not recorded
    click(IDOK);
    closed();
    ASSERT_EQ(run(), IDOK);
    EXPECT_EQ(table.full, KeySeq{});
    EXPECT_EQ(table.active, (KeySeq{VK_CONTROL, VK_SHIFT, 'A'}));
    EXPECT_EQ(table.select, (KeySeq{VK_CONTROL, VK_SHIFT, 'S'}));

    // Posts keep the order of the keys: once Active's request is in, Full's would be too.
    InputScript after;
    bool pumping = true;
    after.onTimeout = [&] { pumping = false; };
    after
        .then([&] {
            for (WORD key : std::initializer_list<WORD>{VK_LCONTROL, VK_LSHIFT, 'F', 'A'})
                after.keyDown(key);
        })
        .waitFor([&] { return !requests.empty(); }, "the request of Active")
        .then([&] { pumping = false; });
    after.start();
    MessagePump::runWhile(pumping, nullptr);
    EXPECT_EQ(requests, Requests{CaptureForegroundWindow});
}

TEST_F(HotKeyDialogTest, RecordsEachNewKeyOnceInTheOrderPressed) {
    std::vector<LRESULT> checks;
    opened();
    click(IDC_FULL_KEYS);
    press({}, 'G');
    waitForShown(IDC_FULL_KEYS, {VK_CONTROL, VK_SHIFT, 'F', 'G'});
    click(IDC_RESET_SELECT);
    click(IDC_SELECT_KEYS);
    script.then([&] {
        for (int id : {IDC_FULL_KEYS, IDC_SELECT_KEYS})
            checks.push_back(::SendMessageW(dialog.item(id), BM_GETCHECK, 0, 0));
    });
    press({VK_LSHIFT, VK_LCONTROL, 'S', 'S'}, 'S'); // S held: its key-down repeats
    press({}, 'S');
    press({}, VK_LSHIFT);
    press({}, 'K');
    waitForShown(IDC_SELECT_KEYS, {VK_SHIFT, VK_CONTROL, 'S', 'K'});
    // The fourth row records on its own: the rows above keep what they hold.
    click(IDC_RESET_EDIT);
    click(IDC_EDIT_KEYS);
    press({VK_LCONTROL}, 'Q');
    waitForShown(IDC_EDIT_KEYS, {VK_CONTROL, 'Q'});
    click(IDOK);
    closed();
    ASSERT_EQ(run(), IDOK);

    EXPECT_EQ(table.full, (KeySeq{VK_CONTROL, VK_SHIFT, 'F', 'G'}));
    EXPECT_EQ(table.select, (KeySeq{VK_SHIFT, VK_CONTROL, 'S', 'K'}));
    EXPECT_EQ(table.active, (KeySeq{VK_CONTROL, VK_SHIFT, 'A'}));
    EXPECT_EQ(table.edit, (KeySeq{VK_CONTROL, 'Q'}));
    // The row clicked pushed in, the one before popped out.
    EXPECT_EQ(checks, (std::vector<LRESULT>{BST_UNCHECKED, BST_CHECKED}));
    // The hook stayed on in the dialog: one request for the press of S with Ctrl and Shift held,
    // none for its repeats.
    EXPECT_EQ(requests, Requests(1, CaptureRegion));
}

TEST_F(HotKeyDialogTest, DialogKeysAndSystemKeysAreNeverRecorded) {
    opened();
    click(IDC_ACTIVE_KEYS);
    press({}, VK_TAB);
    script.waitFor([this] { return ::GetFocus() == dialog.item(IDOK); }, "Tab to OK");
    for (WORD arrow : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) {
        click(IDC_ACTIVE_KEYS);
        press({}, arrow);
    }
    click(IDC_ACTIVE_KEYS);
    // Wine 8 opens no menu mode for Alt or F10 alone here; where a system does, it would take the
    // next key and the recorder would miss K.
    press({}, VK_LMENU);
    press({}, VK_F10);
    press({VK_LMENU}, 'G');
    press({}, 'K');
    waitForShown(IDC_ACTIVE_KEYS, {VK_CONTROL, VK_SHIFT, 'A', 'K'});
    press({}, VK_RETURN);
    closed();

    ASSERT_EQ(run(), IDOK);
    EXPECT_EQ(table.active, (KeySeq{VK_CONTROL, VK_SHIFT, 'A', 'K'}));
    EXPECT_EQ(table.full, (KeySeq{VK_CONTROL, VK_SHIFT, 'F'}));
    EXPECT_EQ(table.select, (KeySeq{VK_CONTROL, VK_SHIFT, 'S'}));
}

} // namespace
