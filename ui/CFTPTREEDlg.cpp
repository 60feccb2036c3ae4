#include "ui/CFTPTREEDlg.h"

#include "platform/CallbackGuard.h"
#include "platform/ResourceString.h"
#include "platform/TextCut.h"
#include "res/RemoteFolderIds.h"
#include "res/resource.h"

#include <algorithm>
#include <utility>

namespace {

// The longest error text shown.
constexpr std::size_t kMaxErrorText = 1024;
// A listing from the worker (FtpWorker::Reply in lParam).
constexpr UINT kListingMessage = WM_APP + 1;

} // namespace

CFTPTREEDlg::CFTPTREEDlg(FtpWorker worker, std::wstring startFolder)
    : Dialog(IDD_REMOTE_FOLDERS), worker(std::move(worker)), startFolder(std::move(startFolder)) {}

bool CFTPTREEDlg::onInitDialog() {
    folderTree.attach(hwnd(), IDC_FOLDER_TREE);
    recordLayout();
    createImageList();
    ::SetWindowTextW(hwnd(), worker->login().host.c_str());
    worker->replyTo(hwnd());
    folderTree.begin(startFolder, [this](const std::wstring& folder) {
        if (worker)
            worker->list(folder);
    });
    return true;
}

bool CFTPTREEDlg::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != kListingMessage)
        return false;
    if (const std::unique_ptr<FtpWorker::Reply> reply = FtpWorker::takeReply(lParam))
        showReply(*reply);
    result = 0;
    return true;
}

void CFTPTREEDlg::showReply(const FtpWorker::Reply& reply) {
    if (reply.failure)
        folderTree.showFailure(reply.folder, failureText(reply.failure));
    else
        folderTree.showListing(reply.folder, reply.listing);
}

std::wstring CFTPTREEDlg::failureText(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const AppException& error) {
        const std::wstring text = cutText(error.message(), kMaxErrorText);
        return text.empty() ? loadResourceString(IDS_FTP_CONNECT_EXCEPTION) : text;
    } catch (...) {
        return CallbackGuardReports::unexpected.message();
    }
}

bool CFTPTREEDlg::onDestroy() {
    worker.reset();
    // The tree control goes after the dialog's WM_DESTROY; it lets go of its image list now.
    folderTree.detach();
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
