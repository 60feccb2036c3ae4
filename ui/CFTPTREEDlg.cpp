#include "ui/CFTPTREEDlg.h"

#include "settings/RegistryProfile.h"
#include "output/FtpAddress.h"
#include "output/upload/cFTPOutput.h"
#include "platform/InternetException.h"
#include "platform/ResourceString.h"
#include "platform/TextCut.h"
#include "platform/WaitCursor.h"
#include "res/RemoteFolderIds.h"
#include "res/resource.h"

#include <algorithm>
#include <utility>

namespace {

// The longest error text shown.
constexpr std::size_t kMaxErrorText = 1024;

std::wstring cutErrorText(const std::wstring& text) {
    return cutText(text, kMaxErrorText);
}

} // namespace

CFTPTREEDlg::CFTPTREEDlg(cFTPOutput* output, std::wstring server, std::wstring user,
                         std::wstring password, std::wstring path)
    : Dialog(IDD_REMOTE_FOLDERS), output(output), server(std::move(server)),
      userName(std::move(user)), password(std::move(password)), path(std::move(path)) {}

bool CFTPTREEDlg::onInitDialog() {
    folderTree.attach(hwnd(), IDC_FOLDER_TREE);
    recordLayout();
    connection.reset();

    if (!output) {
        showMessage(loadResourceString(IDS_NO_INTERNET_SESSION));
        endCancelled();
        return true;
    }
    createImageList();

    const std::optional<FtpAddress::Parts> address = FtpAddress::parseServer(server);
    if (!address) {
        showMessage(loadResourceString(IDS_INVALID_FTP_ADDRESS));
        endCancelled();
        return true;
    }
    ::SetWindowTextW(hwnd(), address->host.c_str());

    WaitCursor busy;
    if (address->service != FtpAddress::Service::Ftp || address->host.empty()) {
        showMessage(loadResourceString(IDS_INVALID_FTP_ADDRESS));
        endCancelled();
    } else if (connect(address->host, address->port)) {
        folderTree.populateTree(path.empty() ? address->object : path, &*connection,
                                output->session().context());
        return true;
    }
    folderTree.populateTree(std::wstring(), nullptr, 0);
    return true;
}

bool CFTPTREEDlg::connect(const std::wstring& host, std::uint16_t port) {
    try {
        connection = output->connectWithin(host, port, userName, password);
        return true;
    } catch (const InternetException& error) {
        const std::wstring text = cutErrorText(error.message());
        showMessage(text.empty() ? loadResourceString(IDS_FTP_CONNECT_EXCEPTION) : text);
    }
    connection.reset();
    endCancelled();
    return false;
}

void CFTPTREEDlg::createImageList() {
    UniqueImageList images(::ImageList_Create(16, 15, ILC_COLOR24 | ILC_MASK, 3, 2));
    if (!images)
        return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (UINT id : {IDB_TREE_ERROR, IDB_TREE_FOLDER, IDB_TREE_FILE}) {
        UniqueBitmap bitmap(::LoadBitmapW(instance, MAKEINTRESOURCEW(id)));
        ::ImageList_AddMasked(images.get(), bitmap.get(), RGB(255, 255, 255));
    }
    folderTree.setImageList(std::move(images));
}

bool CFTPTREEDlg::onNotify(NMHDR& header, LRESULT& result) {
    // The tree's own listing answers its expanding and collapsing.
    if (header.idFrom != IDC_FOLDER_TREE || header.code != TVN_ITEMEXPANDINGW)
        return false;
    result = folderTree.onItemExpanding(reinterpret_cast<const NMTREEVIEWW&>(header));
    return true;
}

void CFTPTREEDlg::recordLayout() {
    RECT frame{};
    ::GetWindowRect(hwnd(), &frame);
    initialWidth = frame.right - frame.left;
    initialHeight = frame.bottom - frame.top;
    initialSizeKnown = true;

    RECT client{};
    ::GetClientRect(hwnd(), &client);
    initialClient = SIZE{client.right, client.bottom};
    for (auto [id, rect] :
         {std::pair{IDC_FOLDER_TREE, &initialTree}, std::pair{IDOK, &initialButton}}) {
        ::GetWindowRect(item(id), rect);
        ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(rect), 2);
    }
}

// The tree takes up what the size adds or removes, keeping its margins; the Close button stays
// centred below it.
bool CFTPTREEDlg::onSize(int width, int height) {
    if (width <= 0 || height <= 0 || !initialSizeKnown)
        return false;
    const int wider = width - initialClient.cx;
    const int taller = height - initialClient.cy;
    ::MoveWindow(folderTree.hwnd(), initialTree.left, initialTree.top,
                 std::max(0L, initialTree.right - initialTree.left + wider),
                 std::max(0L, initialTree.bottom - initialTree.top + taller), TRUE);
    ::MoveWindow(item(IDOK), initialButton.left + wider / 2, initialButton.top + taller,
                 initialButton.right - initialButton.left, initialButton.bottom - initialButton.top,
                 TRUE);
    return false;
}

bool CFTPTREEDlg::onGetMinMaxInfo(MINMAXINFO& limits) {
    if (!initialSizeKnown)
        return false;
    limits.ptMinTrackSize = POINT{initialWidth, initialHeight};
    return true;
}

void CFTPTREEDlg::showMessage(const std::wstring& text) {
    // While the dialog is still hidden the box belongs to the window it was opened from, so that
    // window takes no input meanwhile.
    HWND owner = ::GetWindow(hwnd(), GW_OWNER);
    if (::IsWindowVisible(hwnd()) || !owner)
        owner = hwnd();
    ::MessageBoxW(owner, text.c_str(), moduleBaseName().c_str(), MB_OK);
}

void CFTPTREEDlg::endCancelled() {
    ::PostMessageW(hwnd(), WM_COMMAND, IDCANCEL, 0);
}
