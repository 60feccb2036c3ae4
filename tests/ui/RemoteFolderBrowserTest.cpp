// The remote folder browser, opened with the FTP page's Browse as a user does, against real FTP
// servers (pyftpdlib): the tree is read back item by item, expanding and collapsing are the user's
// keys (SendInput), and the servers' logs count the listings and commands they cost.
#include "platform/DialogData.h"
#include "platform/InternetException.h"
#include "platform/InternetSession.h"
#include "platform/MessageWindow.h"
#include "res/PreferencesIds.h"
#include "res/RemoteFolderIds.h"
#include "support/PreferencesDriver.h"
#include "support/Screenshot.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace PreferencesDriver;

// This thread's visible dialog with a tree: the browser.
HWND browser() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            if (::IsWindowVisible(window) && ::GetDlgItem(window, IDC_FOLDER_TREE))
                *reinterpret_cast<HWND*>(data) = window;
            return *reinterpret_cast<HWND*>(data) == nullptr;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND tree() {
    return ::GetDlgItem(browser(), IDC_FOLDER_TREE);
}

std::wstring textOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

// The item and its children, one line each: indentation, text, image, "btn" when it has an expand
// button, "+" when expanded, "bold" and "selected" when so.
std::wstring describeIn(HWND view, HTREEITEM item, int depth) {
    wchar_t text[300] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
    data.hItem = item;
    data.stateMask = TVIS_EXPANDED | TVIS_BOLD | TVIS_SELECTED;
    data.pszText = text;
    data.cchTextMax = 300;
    EXPECT_TRUE(TreeView_GetItem(view, &data));
    EXPECT_EQ(data.iSelectedImage, data.iImage) << text;
    std::wstring out = std::wstring(2 * depth, L' ') + text + L" " + std::to_wstring(data.iImage) +
                       (data.cChildren ? L" btn" : L"") +
                       (data.state & TVIS_EXPANDED ? L" +" : L"") +
                       (data.state & TVIS_BOLD ? L" bold" : L"") +
                       (data.state & TVIS_SELECTED ? L" selected" : L"") + L"\n";
    for (HTREEITEM child = TreeView_GetChild(view, item); child;
         child = TreeView_GetNextSibling(view, child))
        out += describeIn(view, child, depth + 1);
    return out;
}

std::wstring describe(HTREEITEM item) {
    return describeIn(tree(), item, 0);
}

std::wstring describeTree() {
    return describe(TreeView_GetRoot(tree()));
}

// No folder of the tree shows that it waits for its listing.
bool nothingWaits() {
    return tree() && describeTree().find(L"正在读取...") == std::wstring::npos;
}

// The item at the end of a path of names from the root ("/", "a", "b").
HTREEITEM itemAt(const std::vector<std::wstring>& names) {
    HTREEITEM found = nullptr;
    for (const std::wstring& name : names) {
        HTREEITEM at = found ? TreeView_GetChild(tree(), found) : TreeView_GetRoot(tree());
        while (at && describe(at).find(name + L" ") != 0)
            at = TreeView_GetNextSibling(tree(), at);
        if (!(found = at))
            return nullptr;
    }
    return found;
}

// Finding the tree costs a call to the server under Wine: it is found once for 5,000 items.
int childCount(HWND view, HTREEITEM item) {
    int count = 0;
    for (HTREEITEM child = TreeView_GetChild(view, item); child;
         child = TreeView_GetNextSibling(view, child))
        ++count;
    return count;
}

// Another window of this thread, as the tray icon's is, and a thread that keeps sending it
// messages: each must be answered within kAnswerMs.
class ResponsivenessProbe {
public:
    static constexpr UINT kAnswerMs = 250;

    ResponsivenessProbe()
        : sender_([this, window = window_.hwnd()] {
              while (!stop_) {
                  const ULONGLONG start = ::GetTickCount64();
                  DWORD_PTR answer = 0;
                  if (::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &answer))
                      ++answered_;
                  else
                      ++missed_;
                  slowestMs_ = std::max<ULONGLONG>(slowestMs_, ::GetTickCount64() - start);
                  ::Sleep(10);
              }
          }) {}
    ~ResponsivenessProbe() { stop(); }
    void stop() {
        stop_ = true;
        if (sender_.joinable())
            sender_.join();
    }
    int answered() const { return answered_; }
    int missed() const { return missed_; }
    ULONGLONG slowestMs() const { return slowestMs_; }

private:
    MessageWindow window_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::atomic<int> missed_{0};
    std::atomic<ULONGLONG> slowestMs_{0};
    std::thread sender_;
};

class RemoteFolderBrowserTest : public PreferencesTest {
protected:
    // The servers list "." and ".." in every folder, as many do.
    static void SetUpTestSuite() {
        PreferencesTest::SetUpTestSuite();
        for (const wchar_t* fixture : {L"remote_tree", L"remote_port"}) {
            const std::wstring root = TestEnvironment::ftpRoot(fixture) + L"\\";
            for (const wchar_t* entry :
                 {L"a\\", L"a\\b\\", L"a\\d\\", L"a\\d\\deep.txt", L"a\\notes.txt", L"empty\\",
                  L"p\\", L"p\\q\\", L"p\\q\\c\\", L"p\\q\\c\\inner.txt", L"p\\q\\e\\",
                  L"readme.txt", L"zeta.txt"}) {
                const std::wstring path = root + entry;
                if (path.back() == L'\\')
                    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
                else
                    TestEnvironment::writeFileBytes(path, "x");
            }
        }
    }

    // The custom target the page shows when it opens.
    void useServer(const std::wstring& server, const std::wstring& folder,
                   const std::wstring& password = L"secret") {
        app.ftp().setEnabled(true);
        app.ftp().setFtpCustom(true);
        app.ftp().setTarget(server, L"tester", password, folder, true);
        app.ftp().setCustomUrl(L"http://images.example");
    }

    // The script's steps from the page to the browser on screen, in front, with every listing on
    // the way to the start folder shown.
    void openBrowser(InputScript& script) {
        waitForDialog(script, 1);
        clickOn(script, 1, IDC_FTP_BROWSE);
        script.waitFor([] { return tree() != nullptr; }, "the browser")
            .then([] { ::SetForegroundWindow(browser()); })
            .waitFor([] { return ::GetForegroundWindow() == browser(); }, "the browser in front")
            .waitFor(nothingWaits, "the listings");
    }

    // A click on "关闭"; the page is in front again afterwards.
    static void clickClose(InputScript& script) {
        script
            .then([&script] {
                HWND button = ::GetDlgItem(browser(), IDOK);
                EXPECT_EQ(textOf(button), L"关闭");
                script.click(centreOf(button));
            })
            .waitFor([] { return browser() == nullptr; }, "the browser closed");
    }

    // The key pressed with the item selected and the tree focused; then every listing it asked
    // for shown.
    static void pressOn(InputScript& script, std::vector<std::wstring> item, WORD key) {
        script
            .then([&script, item, key] {
                ASSERT_TRUE(TreeView_SelectItem(tree(), itemAt(item)));
                ::SetFocus(tree());
                script.press({key});
            })
            .waitFor(nothingWaits, "the listing");
    }

    static std::size_t served(const wchar_t* fixture, const char* command) {
        return TestEnvironment::ftpLogCount(fixture, std::string("command ") + command);
    }

    const std::wstring address = TestEnvironment::ftpAddress(L"remote_tree");
};

// The tree opens down to the page's folder and marks it; a name that is missing ends the way. The
// port of the server's address is used, a path written after it is not.
TEST_F(RemoteFolderBrowserTest, OpensDownToThePagesFolderAndMarksIt) {
    const std::wstring atB = L"/ 1 btn +\n  a 1 btn +\n    b 1 bold selected\n    d 1 btn\n"
                             L"    notes.txt 2\n  empty 1 btn\n  p 1 btn\n  readme.txt 2\n"
                             L"  zeta.txt 2\n";
    std::wstring atA = atB;
    atA.replace(atA.find(L"b 1 bold selected"), 17, L"b 1 btn");
    const std::wstring atRoot =
        L"/ 1 btn +\n  a 1 btn\n  empty 1 btn\n  p 1 btn\n  readme.txt 2\n  zeta.txt 2\n";
    std::wstring rootMarked = atRoot;
    rootMarked.replace(0, 9, L"/ 1 btn + bold selected");
    const std::wstring portHost = TestEnvironment::ftpAddress(L"remote_port");
    const std::wstring cases[][4] = {
        {address, L"/a/b", atB, address},
        {address, L"a/b", atB, address},
        {L"FTP://" + portHost + L":2121/a/b", L"", rootMarked, portHost},
        {address, L"/a/x", atA, address},
        {address, L"/A/b", atRoot, address}};
    for (const auto& [server, folder, expected, host] : cases) {
        useServer(server, folder);
        InputScript script(20000);
        openBrowser(script);
        script.then([&, first = &server == &cases[0][0]] {
            EXPECT_EQ(describeTree(), expected) << server.c_str() << " " << folder.c_str();
            EXPECT_EQ(textOf(browser()), host);
            if (!first)
                return;
            EXPECT_TRUE(saveWindowScreenshot(browser(), L"remote-folders.png"));
            // The tree takes what a size change adds; the button stays below it.
            RECT frame{}, treeBefore{}, treeAfter{}, button{};
            ::GetWindowRect(browser(), &frame);
            ::GetWindowRect(tree(), &treeBefore);
            ::SetWindowPos(browser(), nullptr, 0, 0, frame.right - frame.left + 120,
                           frame.bottom - frame.top + 60, SWP_NOMOVE | SWP_NOZORDER);
            ::GetWindowRect(tree(), &treeAfter);
            ::GetWindowRect(::GetDlgItem(browser(), IDOK), &button);
            EXPECT_EQ(treeAfter.right - treeBefore.right, 120);
            EXPECT_EQ(treeAfter.bottom - treeBefore.bottom, 60);
            EXPECT_GT(button.top, treeAfter.bottom);
            MINMAXINFO limits{};
            ::SendMessageW(browser(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
            EXPECT_EQ(limits.ptMinTrackSize.x, frame.right - frame.left);
            EXPECT_EQ(limits.ptMinTrackSize.y, frame.bottom - frame.top);
        });
        clickClose(script);
        runPreferences(script);
    }
}

// One listing per folder opened or expanded, none for its sub-folders' buttons and none for a
// collapse.
TEST_F(RemoteFolderBrowserTest, ListsAFolderWhenItIsExpandedAndOnlyThen) {
    useServer(address, L"/p/q");
    const std::size_t before = served(L"remote_tree", "LIST");
    auto expectListings = [before](std::size_t count) {
        EXPECT_EQ(served(L"remote_tree", "LIST") - before, count);
    };
    InputScript script(20000);
    openBrowser(script);
    script.then([&] {
        expectListings(3); // "/", p and q
        EXPECT_EQ(describe(itemAt({L"/", L"p"})),
                  L"p 1 btn +\n  q 1 btn + bold selected\n    c 1 btn\n    e 1 btn\n");
    });
    pressOn(script, {L"/", L"p", L"q", L"c"}, VK_RIGHT);
    script.then([&] {
        expectListings(4);
        EXPECT_EQ(describe(itemAt({L"/", L"p", L"q", L"c"})),
                  L"c 1 btn + selected\n  inner.txt 2\n");
    });
    // An empty folder loses its button once it is opened.
    pressOn(script, {L"/", L"p", L"q", L"e"}, VK_RIGHT);
    script.then([&] {
        expectListings(5);
        EXPECT_EQ(describe(itemAt({L"/", L"p", L"q", L"e"})), L"e 1 selected\n");
    });
    pressOn(script, {L"/", L"p", L"q"}, VK_LEFT);
    script.then([&] {
        expectListings(5);
        EXPECT_EQ(describe(itemAt({L"/", L"p", L"q"})),
                  L"q 1 btn bold selected\n  c 1 btn +\n    inner.txt 2\n  e 1\n");
    });
    pressOn(script, {L"/", L"p"}, VK_LEFT);
    pressOn(script, {L"/", L"p"}, VK_RIGHT);
    script.then([&] {
        expectListings(6);
        EXPECT_EQ(describe(itemAt({L"/", L"p"})), L"p 1 btn + selected\n  q 1 btn\n");
    });
    clickClose(script);
    runPreferences(script);
}

// Each failure is one message above the page, and no browser opens.
TEST_F(RemoteFolderBrowserTest, FailuresShowOneMessageAndNoBrowser) {
    const std::wstring invalid = L"请输入有效的 FTP 地址";
    const std::wstring cases[][3] = {{L"ftp:///a/b", L"secret", invalid},
                                     {address + L":ftp", L"secret", invalid},
                                     {L"https://" + address, L"secret", invalid},
                                     {address, L"wrong", L"530 Authentication failed."}};
    for (const auto& [server, password, message] : cases) {
        useServer(server, L"/a", password);
        std::wstring shown;
        InputScript script(20000);
        waitForDialog(script, 1);
        clickOn(script, 1, IDC_FTP_BROWSE);
        script.waitFor([] { return dialogAbovePreferences() != nullptr; }, "the message")
            .then([&] {
                shown = messageText(dialogAbovePreferences());
                EXPECT_EQ(browser(), nullptr);
                script.press({VK_RETURN});
            })
            .waitFor([] { return dialogAbovePreferences() == nullptr; }, "the message closed");
        runPreferences(script);
        EXPECT_EQ(shown, message) << server.c_str();
    }
}

// A server that accepts and never answers: the page shows the wait on its Browse button, the
// thread answers messages meanwhile, and the login is given up after the page's bound. Alongside,
// how long WinInet alone waits for such a server.
TEST_F(RemoteFolderBrowserTest, AServerThatNeverAnswersEndsInAMessageWithin30Seconds) {
    const std::wstring silent = TestEnvironment::ftpAddress(L"remote_hang");
    auto alone = std::make_shared<std::promise<std::pair<ULONGLONG, DWORD>>>();
    std::thread([alone, silent] {
        const ULONGLONG start = ::GetTickCount64();
        DWORD error = 0;
        try {
            InternetSession(L"probe").connectFtp(silent, L"tester", L"secret");
        } catch (const InternetException& failure) {
            error = failure.errorCode();
        }
        alone->set_value({::GetTickCount64() - start, error});
    }).detach();

    useServer(silent, L"/");
    std::unique_ptr<ResponsivenessProbe> probe;
    ULONGLONG clickedAt = 0;
    ULONGLONG shownAfter = 0;
    std::wstring shown;
    InputScript script(60000);
    waitForDialog(script, 1);
    script.then([&] { clickedAt = ::GetTickCount64(); });
    clickOn(script, 1, IDC_FTP_BROWSE);
    script.waitFor([] { return DialogData::text(page(1), IDC_FTP_BROWSE) == L"取消"; }, "the wait")
        .then([&] {
            EXPECT_FALSE(::IsWindowEnabled(pageControl(1, IDC_FTP_TEST)));
            probe = std::make_unique<ResponsivenessProbe>();
        })
        .waitFor([] { return dialogAbovePreferences() != nullptr; }, "the message")
        .then([&] {
            shownAfter = ::GetTickCount64() - clickedAt;
            probe->stop();
            shown = messageText(dialogAbovePreferences());
            EXPECT_EQ(browser(), nullptr);
            EXPECT_EQ(DialogData::text(page(1), IDC_FTP_BROWSE), L"浏览...");
            EXPECT_TRUE(::IsWindowEnabled(pageControl(1, IDC_FTP_TEST)));
            script.press({VK_RETURN});
        })
        .waitFor([] { return dialogAbovePreferences() == nullptr; }, "the message closed");
    runPreferences(script);
    ASSERT_TRUE(probe);
    std::printf("The browser's message came after %llu ms; the thread answered %d messages, the "
                "slowest in %llu ms.\n",
                shownAfter, probe->answered(), probe->slowestMs());
    EXPECT_EQ(shown, InternetException(ERROR_INTERNET_TIMEOUT).message());
    EXPECT_GE(shownAfter, cFTPOutput::kDialogConnectTimeoutMs);
    EXPECT_LT(shownAfter, 30000u);
    EXPECT_EQ(probe->missed(), 0);
    EXPECT_GT(probe->answered(), 100);

    // Measured with Wine 8: 60 s, then ERROR_INTERNET_TIMEOUT.
    std::future<std::pair<ULONGLONG, DWORD>> result = alone->get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(90)), std::future_status::ready);
    const auto [took, error] = result.get();
    std::printf("WinInet alone gave up after %llu ms with error %lu.\n", took, error);
    EXPECT_GT(took, 30000u);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
}

// 20,000 folders at the top: the browser is open with the first 5,000 of them and a line that says
// so within 5 s, and another window of the thread is answered all along.
TEST_F(RemoteFolderBrowserTest, ATopFolderOf20000FoldersOpensWithin5SecondsCutAt5000) {
    useServer(TestEnvironment::ftpAddress(L"remote_many"), L"/");
    std::unique_ptr<ResponsivenessProbe> probe;
    ULONGLONG clickedAt = 0;
    ULONGLONG openAfter = 0;
    InputScript script(30000);
    waitForDialog(script, 1);
    script.then([&] {
        probe = std::make_unique<ResponsivenessProbe>();
        clickedAt = ::GetTickCount64();
    });
    clickOn(script, 1, IDC_FTP_BROWSE);
    script
        .waitFor(
            [] {
                const HWND view = tree();
                return view && childCount(view, TreeView_GetRoot(view)) == 5001;
            },
            "the listing")
        .then([&] {
            openAfter = ::GetTickCount64() - clickedAt;
            probe->stop();
            const HWND view = tree();
            const HTREEITEM first = TreeView_GetChild(view, TreeView_GetRoot(view));
            EXPECT_EQ(describe(first), L"many00000 1 btn\n");
            HTREEITEM last = first;
            for (int i = 0; i < 4999; ++i)
                last = TreeView_GetNextSibling(view, last);
            EXPECT_EQ(describe(last), L"many04999 1 btn\n");
            EXPECT_EQ(describe(TreeView_GetNextSibling(view, last)), L"只列出了前 5000 项 0\n");
            EXPECT_TRUE(saveWindowScreenshot(browser(), L"remote-folders-many.png"));
        });
    clickClose(script);
    runPreferences(script);
    ASSERT_TRUE(probe);
    std::printf("5,000 of 20,000 folders shown after %llu ms; the thread answered %d messages "
                "meanwhile, the slowest in %llu ms.\n",
                openAfter, probe->answered(), probe->slowestMs());
    EXPECT_LT(openAfter, 5000u);
    EXPECT_EQ(probe->missed(), 0);
    EXPECT_GT(probe->answered(), 0);
}

// A server that refuses passive data connections: the listing goes on in active mode, and the
// next Browse begins in active mode at once.
TEST_F(RemoteFolderBrowserTest, AServerWithoutPassiveModeListsActivelyAndIsRemembered) {
    const std::wstring server = TestEnvironment::ftpAddress(L"remote_nopasv");
    const std::wstring root = TestEnvironment::ftpRoot(L"remote_nopasv");
    ASSERT_TRUE(::CreateDirectoryW((root + L"\\shots").c_str(), nullptr));
    TestEnvironment::writeFileBytes(root + L"\\read.me", "x");
    useServer(server, L"/shots");
    const std::wstring expected = L"/ 1 btn +\n  read.me 2\n  shots 1 bold selected\n";
    std::size_t passiveTries = 0;
    for (int browse = 0; browse < 2; ++browse) {
        InputScript script(20000);
        openBrowser(script);
        script.then([&] { EXPECT_EQ(describeTree(), expected) << "Browse " << browse; });
        clickClose(script);
        runPreferences(script);
        const std::size_t tries =
            served(L"remote_nopasv", "PASV") + served(L"remote_nopasv", "EPSV");
        if (browse == 0)
            EXPECT_GT(tries, 0u) << "the first Browse begins in passive mode";
        else
            EXPECT_EQ(tries, passiveTries) << "the second one does not";
        passiveTries = tries;
        EXPECT_FALSE(app.ftp().modes()->passiveFirst(server, 21));
    }
    // "/" and "/shots", twice; a refused PASV sends no LIST.
    EXPECT_EQ(served(L"remote_nopasv", "LIST"), 4u);
    EXPECT_EQ(served(L"remote_nopasv", "PORT") + served(L"remote_nopasv", "EPRT"), 4u);
}

} // namespace
