#include "ui/CMyTreeCtrl.h"

#include "platform/FtpDirectoryEnumerator.h"
#include "platform/InternetException.h"
#include "platform/MemoryException.h"
#include "platform/WaitCursor.h"

namespace {

constexpr wchar_t kNoConnectionText[] = L"An FTP connection has not been established.";
// Longer than any name a listing gives (MAX_PATH).
constexpr int kMaxItemText = 1024;

} // namespace

void CMyTreeCtrl::setImageList(UniqueImageList images) {
    TreeView_SetImageList(hwnd(), images.get(), TVSIL_NORMAL);
    images_ = std::move(images);
}

void CMyTreeCtrl::populateTree(const std::wstring& startPath, const FtpConnection* newConnection,
                               DWORD_PTR newContext) {
    WaitCursor busy;
    connection = newConnection;
    context = newContext;
    TreeView_DeleteAllItems(hwnd());
    if (!connection) {
        TVINSERTSTRUCTW error{};
        error.hParent = TVI_ROOT;
        error.hInsertAfter = TVI_FIRST;
        error.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        error.item.pszText = const_cast<wchar_t*>(kNoConnectionText);
        error.item.iImage = error.item.iSelectedImage = kErrorImage;
        if (!TreeView_InsertItem(hwnd(), &error))
            throw MemoryException();
        return;
    }
    // The placeholder gives the root its expand button; expanding lists "/" in its place.
    const HTREEITEM root = insert(TVI_ROOT, L"/", kFolderImage);
    insert(root, L"/", kFolderImage);
    TreeView_Expand(hwnd(), root, TVE_EXPAND);
    if (firstChild(root) && !startPath.empty())
        openPath(startPath);
}

// Expands the folders on the way; a child-less end is marked, and a name that is missing ends
// the walk where it is.
void CMyTreeCtrl::openPath(const std::wstring& startPath) {
    HTREEITEM current = TreeView_GetRoot(hwnd());
    std::wstring rest = startPath;
    while (!rest.empty()) {
        const std::size_t slash = rest.find(L'/');
        std::wstring component;
        if (slash == std::wstring::npos) {
            component = rest;
            rest.clear();
        } else if (slash == 0) {
            rest.erase(0, 1);
            continue;
        } else {
            component = rest.substr(0, slash);
            rest.erase(0, slash + 1);
        }
        const HTREEITEM found = childNamed(current, component);
        if (!found)
            return;
        if (firstChild(found)) {
            TreeView_Expand(hwnd(), found, TVE_EXPAND);
            current = found;
            continue;
        }
        TreeView_SetItemState(hwnd(), found, TVIS_BOLD, TVIS_BOLD);
        TreeView_SelectItem(hwnd(), found);
        return;
    }
}

void CMyTreeCtrl::listFolder(const std::wstring& folderPath, HTREEITEM node) {
    WaitCursor busy;
    deleteChildren(node);
    if (!connection)
        return;
    // Children's paths are folder + "/" + name; the root's folder adds nothing.
    const std::wstring folder = parentOf(node) ? folderPath : std::wstring();
    bool folderSeen = false;
    FtpDirectoryEnumerator listing(*connection, context);
    try {
        for (bool more = listing.findFirst(folder + L"/*",
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE);
             more; more = listing.findNext()) {
            if (!listing.isDirectory()) {
                insert(node, listing.fileName(), kFileImage);
            } else if (!listing.isDots()) {
                insert(node, listing.fileName(), kFolderImage);
                folderSeen = true;
            }
        }
    } catch (const InternetException&) {
        // A folder that can't be listed (missing, forbidden, or a server that stopped answering,
        // which WinInet gives up on after its response time-out: 30 s under Wine) shows what
        // came, if anything.
    }
    // One listing at a time per connection.
    listing.close();
    if (!folderSeen)
        return;
    // A placeholder gives each sub-folder that holds something its expand button.
    try {
        for (HTREEITEM child = firstChild(node); child; child = nextSibling(child))
            if (image(child) == kFolderImage && folderHasEntries(folder + L"/" + text(child)))
                insert(child, L"1", kFolderImage);
    } catch (const InternetException&) {
        // The server stopped answering: each further probe would wait WinInet's whole response
        // time-out (30 s under Wine) as well.
    }
}

bool CMyTreeCtrl::folderHasEntries(const std::wstring& folderPath) {
    FtpDirectoryEnumerator probe(*connection, context);
    try {
        // Servers that list "." and ".." list them in empty folders too.
        for (bool more = probe.findFirst(folderPath + L"/*", INTERNET_FLAG_RELOAD); more;
             more = probe.findNext())
            if (!probe.isDots())
                return true;
    } catch (const InternetException& error) {
        if (error.errorCode() == ERROR_INTERNET_TIMEOUT)
            throw;
    }
    return false;
}

std::wstring CMyTreeCtrl::itemPath(HTREEITEM node) const {
    HTREEITEM parent = parentOf(node);
    if (!parent)
        return text(node);
    std::wstring path = text(node);
    for (;;) {
        const HTREEITEM grandParent = parentOf(parent);
        if (!grandParent)
            return L"/" + path;
        path = text(parent) + L"/" + path;
        parent = grandParent;
    }
}

LRESULT CMyTreeCtrl::onItemExpanding(const NMTREEVIEWW& change) {
    // Collapsing lists again too: what the tree showed before is never trusted.
    listFolder(itemPath(change.itemNew.hItem), change.itemNew.hItem);
    return 0;
}

bool CMyTreeCtrl::onDestroy() {
    TreeView_SetImageList(hwnd(), nullptr, TVSIL_NORMAL);
    images_.reset();
    // The control's own clean-up still runs.
    return false;
}

HTREEITEM CMyTreeCtrl::insert(HTREEITEM parent, const std::wstring& text, int image) {
    TVINSERTSTRUCTW item{};
    item.hParent = parent;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.item.pszText = const_cast<wchar_t*>(text.c_str());
    item.item.iImage = item.item.iSelectedImage = image;
    const HTREEITEM inserted = TreeView_InsertItem(hwnd(), &item);
    if (!inserted)
        throw MemoryException();
    return inserted;
}

HTREEITEM CMyTreeCtrl::childNamed(HTREEITEM parent, const std::wstring& name) const {
    for (HTREEITEM child = firstChild(parent); child; child = nextSibling(child))
        if (text(child) == name)
            return child;
    return nullptr;
}

void CMyTreeCtrl::deleteChildren(HTREEITEM node) {
    while (const HTREEITEM child = firstChild(node))
        if (!TreeView_DeleteItem(hwnd(), child))
            return;
}

std::wstring CMyTreeCtrl::text(HTREEITEM node) const {
    wchar_t buffer[kMaxItemText] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = kMaxItemText;
    if (!TreeView_GetItem(hwnd(), &item))
        return {};
    return buffer;
}

int CMyTreeCtrl::image(HTREEITEM node) const {
    TVITEMW item{};
    item.mask = TVIF_IMAGE;
    item.hItem = node;
    return TreeView_GetItem(hwnd(), &item) ? item.iImage : -1;
}

HTREEITEM CMyTreeCtrl::firstChild(HTREEITEM node) const {
    return TreeView_GetChild(hwnd(), node);
}

HTREEITEM CMyTreeCtrl::nextSibling(HTREEITEM node) const {
    return TreeView_GetNextSibling(hwnd(), node);
}

HTREEITEM CMyTreeCtrl::parentOf(HTREEITEM node) const {
    return TreeView_GetParent(hwnd(), node);
}
