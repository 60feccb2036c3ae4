// The remote folder browser against real FTP servers (pyftpdlib): the tree is read back item by
// item, expanding and collapsing are the user's keys (SendInput), and the server's log counts
// the listings they cost.
#include "output/upload/cFTPOutput.h"
#include "platform/InternetException.h"
#include "platform/InternetSession.h"
#include "res/RemoteFolderIds.h"
#include "support/InputScript.h"
#include "support/Screenshot.h"
#include "support/TestEnvironment.h"
#include "ui/CFTPTREEDlg.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

// This thread's visible dialog with a control of that id: the browser's tree or a message's text.
HWND dialogWith(int id) {
    std::pair<int, HWND> search{id, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<std::pair<int, HWND>*>(data);
            if (::IsWindowVisible(window) && ::GetDlgItem(window, s->first))
                s->second = window;
            return s->second == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND tree() {
    return ::GetDlgItem(dialogWith(IDC_FOLDER_TREE), IDC_FOLDER_TREE);
}

std::wstring textOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring messageText() {
    return textOf(::GetDlgItem(dialogWith(0xFFFF), 0xFFFF));
}

// The item and its children, one line each: indentation, text, image, "+" when expanded, "bold"
// and "selected" when so. A collapsed folder's placeholder shows too.
std::wstring describe(HTREEITEM item, int depth = 0) {
    wchar_t text[300] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    data.hItem = item;
    data.stateMask = TVIS_EXPANDED | TVIS_BOLD | TVIS_SELECTED;
    data.pszText = text;
    data.cchTextMax = 300;
    EXPECT_TRUE(TreeView_GetItem(tree(), &data));
    EXPECT_EQ(data.iSelectedImage, data.iImage) << text;
    std::wstring out = std::wstring(2 * depth, L' ') + text + L" " + std::to_wstring(data.iImage) +
                       (data.state & TVIS_EXPANDED ? L" +" : L"") +
                       (data.state & TVIS_BOLD ? L" bold" : L"") +
                       (data.state & TVIS_SELECTED ? L" selected" : L"") + L"\n";
    for (HTREEITEM child = TreeView_GetChild(tree(), item); child;
         child = TreeView_GetNextSibling(tree(), child))
        out += describe(child, depth + 1);
    return out;
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

// LIST commands the tree's server has taken (its log has every command).
int listingsServed() {
    const std::string log = TestEnvironment::readFileBytes(
        TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_FIXTURE_DIR")) +
        L"\\remote_tree.log");
    int count = 0;
    for (std::size_t at = log.find("command LIST"); at != std::string::npos;
         at = log.find("command LIST", at + 1))
        ++count;
    return count;
}

class RemoteFolderBrowserTest : public ::testing::Test {
protected:
    // The server lists "." and ".." in every folder, as many do.
    static void SetUpTestSuite() {
        const std::wstring root = TestEnvironment::ftpRoot(L"remote_tree") + L"\\";
        for (const wchar_t* entry :
             {L"a\\", L"a\\b\\", L"a\\d\\", L"a\\d\\deep.txt", L"a\\notes.txt", L"empty\\", L"p\\",
              L"p\\q\\", L"p\\q\\c\\", L"p\\q\\c\\inner.txt", L"p\\q\\e\\", L"readme.txt",
              L"zeta.txt"}) {
            const std::wstring path = root + entry;
            if (path.back() == L'\\')
                ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
            else
                TestEnvironment::writeFileBytes(path, "x");
        }
    }

    // Runs the browser while the script plays the user; a script that times out closes what it
    // left open.
    INT_PTR runBrowser(InputScript& script, cFTPOutput* output, const std::wstring& server,
                       const std::wstring& path, const std::wstring& password = L"secret") {
        script.onTimeout = [] {
            for (int id : {0xFFFF, IDC_FOLDER_TREE})
                if (HWND dialog = dialogWith(id))
                    ::PostMessageW(dialog, WM_COMMAND, id == 0xFFFF ? IDOK : IDCANCEL, 0);
        };
        script.start();
        const INT_PTR result =
            CFTPTREEDlg(output, server, L"tester", password, path).runModal(nullptr);
        EXPECT_FALSE(script.failed()) << script.failure();
        return result;
    }

    // The script's first steps: the browser on screen and in front.
    static void waitForBrowser(InputScript& script) {
        script.waitFor([] { return tree() != nullptr; }, "the browser")
            .then([] { ::SetForegroundWindow(dialogWith(IDC_FOLDER_TREE)); })
            .waitFor([] { return ::GetForegroundWindow() == dialogWith(IDC_FOLDER_TREE); },
                     "the browser in front");
    }

    // The script's last step: a click on "关闭".
    static void clickClose(InputScript& script) {
        script.then([&script] {
            HWND button = ::GetDlgItem(dialogWith(IDC_FOLDER_TREE), IDOK);
            EXPECT_EQ(textOf(button), L"关闭");
            RECT rect{};
            ::GetWindowRect(button, &rect);
            script.click(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        });
    }

    cFTPOutput output;
    const std::wstring address = TestEnvironment::ftpAddress(L"remote_tree");
};

// b is an empty folder: the end of the path, marked. A port in the address is not used (the server
// is on 21); the address's own path serves when no path is given.
TEST_F(RemoteFolderBrowserTest, OpensDownToTheFolderAndMarksAnEndWithoutEntries) {
    const std::wstring atB = L"/ 1 +\n  a 1 +\n    b 1 bold selected\n    d 1\n      1 1\n"
                             L"    notes.txt 2\n  empty 1\n  p 1\n    1 1\n  readme.txt 2\n"
                             L"  zeta.txt 2\n";
    std::wstring atA = atB;
    atA.erase(atA.find(L" bold selected"), 14);
    const std::wstring atRoot = L"/ 1 +\n  a 1\n    1 1\n  empty 1\n  p 1\n    1 1\n"
                                L"  readme.txt 2\n  zeta.txt 2\n";
    const std::wstring cases[][3] = {{address, L"/a/b", atB},
                                     {address, L"a/b", atB},
                                     {L"FTP://" + address + L":2121/a/b", L"", atB},
                                     {address, L"/a/x", atA},
                                     {address, L"/A/b", atRoot}};
    for (const auto& [server, path, expected] : cases) {
        InputScript script;
        waitForBrowser(script);
        script.then([&, first = &server == &cases[0][0]] {
            EXPECT_EQ(describe(TreeView_GetRoot(tree())), expected) << path;
            EXPECT_EQ(TreeView_GetSelection(tree()),
                      expected == atB ? itemAt({L"/", L"a", L"b"}) : nullptr);
            HWND browser = dialogWith(IDC_FOLDER_TREE);
            EXPECT_EQ(textOf(browser), address);
            if (!first)
                return;
            EXPECT_TRUE(saveWindowScreenshot(browser, L"remote-folders.png"));
            // The tree takes what a size change adds; the button stays below it.
            RECT frame{}, treeBefore{}, treeAfter{}, button{};
            ::GetWindowRect(browser, &frame);
            ::GetWindowRect(tree(), &treeBefore);
            ::SetWindowPos(browser, nullptr, 0, 0, frame.right - frame.left + 120,
                           frame.bottom - frame.top + 60, SWP_NOMOVE | SWP_NOZORDER);
            ::GetWindowRect(tree(), &treeAfter);
            ::GetWindowRect(::GetDlgItem(browser, IDOK), &button);
            EXPECT_EQ(treeAfter.right - treeBefore.right, 120);
            EXPECT_EQ(treeAfter.bottom - treeBefore.bottom, 60);
            EXPECT_GT(button.top, treeAfter.bottom);
            MINMAXINFO limits{};
            ::SendMessageW(browser, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
            EXPECT_EQ(limits.ptMinTrackSize.x, frame.right - frame.left);
            EXPECT_EQ(limits.ptMinTrackSize.y, frame.bottom - frame.top);
        });
        clickClose(script);
        EXPECT_EQ(runBrowser(script, &output, server, path), IDOK);
    }
}

// Every expand and every collapse lists the folder again, plus one listing per sub-folder for its
// expand button.
TEST_F(RemoteFolderBrowserTest, ListsAgainAtEachExpandAndCollapse) {
    const int before = listingsServed();
    auto expectListings = [before](int count) { EXPECT_EQ(listingsServed() - before, count); };
    InputScript script;
    auto press = [&script](std::vector<std::wstring> item, WORD key) {
        script.then([&script, item, key] {
            ASSERT_TRUE(TreeView_SelectItem(tree(), itemAt(item)));
            ::SetFocus(tree());
            script.press({key});
        });
    };
    waitForBrowser(script);
    script.then([&] {
        expectListings(9); // "/" and its 3 folders, p and q, q and its 2 folders
        EXPECT_EQ(describe(itemAt({L"/", L"p"})), L"p 1 +\n  q 1 +\n    c 1\n      1 1\n    e 1\n");
    });
    press({L"/", L"p", L"q", L"c"}, VK_RIGHT);
    script.then([&] {
        expectListings(10);
        EXPECT_EQ(describe(itemAt({L"/", L"p", L"q", L"c"})), L"c 1 + selected\n  inner.txt 2\n");
    });
    press({L"/", L"p", L"q"}, VK_LEFT);
    script.then([&] {
        expectListings(13);
        EXPECT_EQ(describe(itemAt({L"/", L"p", L"q"})), L"q 1 selected\n  c 1\n    1 1\n  e 1\n");
    });
    press({L"/", L"p"}, VK_LEFT);
    press({L"/", L"p"}, VK_RIGHT);
    script.then([&] {
        expectListings(17);
        EXPECT_EQ(describe(itemAt({L"/", L"p"})), L"p 1 + selected\n  q 1\n    1 1\n");
    });
    clickClose(script);
    EXPECT_EQ(runBrowser(script, &output, address, L"/p/q"), IDOK);
}

// Each failure is one message while the browser is still hidden; then the browser ends.
TEST_F(RemoteFolderBrowserTest, FailuresShowOneMessageAndNoTree) {
    const std::wstring invalid = L"请输入有效的 FTP 地址";
    const std::tuple<cFTPOutput*, std::wstring, std::wstring, std::wstring> cases[] = {
        {nullptr, address, L"secret", L"不能打开互联网。 请检查您的互联网配置。"},
        {&output, L"http://" + address + L"/a", L"secret", invalid},
        {&output, L"ftp:///a/b", L"secret", invalid},
        {&output, address + L":ftp", L"secret", invalid},
        {&output, address, L"wrong", L"530 Authentication failed."}};
    for (const auto& [source, server, password, message] : cases) {
        InputScript script;
        std::wstring shown;
        script.waitFor([] { return dialogWith(0xFFFF) != nullptr; }, "the message").then([&] {
            shown = messageText();
            EXPECT_EQ(tree(), nullptr);
            ::PostMessageW(dialogWith(0xFFFF), WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(runBrowser(script, source, server, L"/a", password), IDCANCEL);
        EXPECT_EQ(shown, message) << server.c_str();
    }
}

// A server that accepts and never answers: the login is bounded, the wait cursor shows meanwhile.
// Alongside, how long WinInet alone waits for such a server.
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

    std::atomic<bool> watching{true}, waitCursorSeen{false};
    std::thread watcher([&, gui = ::GetCurrentThreadId()] {
        // Shares this thread's input state, so it sees the cursor set while this thread blocks.
        ::AttachThreadInput(::GetCurrentThreadId(), gui, TRUE);
        for (; watching; ::Sleep(50))
            waitCursorSeen = waitCursorSeen || ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
    });
    const ULONGLONG start = ::GetTickCount64();
    ULONGLONG shownAfter = 0;
    InputScript script(60000);
    script.waitFor([] { return dialogWith(0xFFFF) != nullptr; }, "the message").then([&] {
        shownAfter = ::GetTickCount64() - start;
        EXPECT_EQ(messageText(), InternetException(ERROR_INTERNET_TIMEOUT).message());
        ::PostMessageW(dialogWith(0xFFFF), WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(runBrowser(script, &output, silent, L"/"), IDCANCEL);
    watching = false;
    watcher.join();
    std::printf("The browser's message came after %llu ms.\n", shownAfter);
    EXPECT_GE(shownAfter, cFTPOutput::kDialogConnectTimeoutMs);
    EXPECT_LT(shownAfter, 30000u);
    EXPECT_TRUE(waitCursorSeen);

    // Measured with Wine 8: 60 s, then ERROR_INTERNET_TIMEOUT.
    std::future<std::pair<ULONGLONG, DWORD>> result = alone->get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(90)), std::future_status::ready);
    const auto [took, error] = result.get();
    std::printf("WinInet alone gave up after %llu ms with error %lu.\n", took, error);
    EXPECT_GT(took, 30000u);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
}

} // namespace
