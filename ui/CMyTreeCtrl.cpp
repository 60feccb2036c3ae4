#include "ui/CMyTreeCtrl.h"

#include "platform/MemoryException.h"
#include "platform/ResourceString.h"
#include "res/RemoteFolderIds.h"

#include <cwchar>

namespace {

// What an item is, kept in its lParam: an entry of a listing, or the line that shows its folder
// waiting for the listing.
constexpr LPARAM kEntryItem = 0;
constexpr LPARAM kWaitingItem = 1;
// Longer than any name a listing gives (MAX_PATH).
constexpr int kMaxItemText = 1024;

std::vector<std::wstring> namesOf(const std::wstring& path) {
    std::vector<std::wstring> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find(L'/', start);
        if (slash == std::wstring::npos)
            slash = path.size();
        if (slash > start)
            names.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return names;
}

} // namespace

// While the tree changes itself: its notifications are none of the user's, and it is drawn once,
// when done.
class CMyTreeCtrl::SelfChange {
public:
    explicit SelfChange(CMyTreeCtrl& tree) noexcept : tree_(tree), before_(tree.changing_) {
        tree_.changing_ = true;
        ::SendMessageW(tree_.hwnd(), WM_SETREDRAW, FALSE, 0);
    }
    SelfChange(const SelfChange&) = delete;
    SelfChange& operator=(const SelfChange&) = delete;
    ~SelfChange() {
        tree_.changing_ = before_;
        if (before_)
            return;
        ::SendMessageW(tree_.hwnd(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(tree_.hwnd(), nullptr, TRUE);
    }

private:
    CMyTreeCtrl& tree_;
    bool before_;
};

bool CMyTreeCtrl::attach(HWND dialog, int id) {
    detach();
    hwnd_ = ::GetDlgItem(dialog, id);
    return hwnd_ != nullptr;
}

void CMyTreeCtrl::detach() noexcept {
    if (hwnd_)
        TreeView_SetImageList(hwnd_, nullptr, TVSIL_NORMAL);
    images_.reset();
    hwnd_ = nullptr;
}

void CMyTreeCtrl::setImageList(UniqueImageList images) {
    TreeView_SetImageList(hwnd(), images.get(), TVSIL_NORMAL);
    images_ = std::move(images);
}

void CMyTreeCtrl::begin(const std::wstring& startFolder, ListingRequest request) {
    request_ = std::move(request);
    HTREEITEM root = nullptr;
    {
        SelfChange change(*this);
        TreeView_DeleteAllItems(hwnd());
        root = insert(TVI_ROOT, L"/", kFolderImage, true);
    }
    namesToOpen_ = namesOf(startFolder);
    openingFolder_ = L"/";
    openFolder(root);
}

void CMyTreeCtrl::openFolder(HTREEITEM node) {
    requestListing(node);
    SelfChange change(*this);
    TreeView_Expand(hwnd(), node, TVE_EXPAND);
}

void CMyTreeCtrl::requestListing(HTREEITEM node) {
    // A folder that waits already is asked for once.
    const HTREEITEM first = firstChild(node);
    if (first && kind(first) == kWaitingItem)
        return;
    // What the folder showed stays until the listing replaces it: this may run inside the
    // control's own expanding of the folder, while it works with the children.
    insert(node, loadResourceString(IDS_LISTING), I_IMAGENONE, false, kWaitingItem, TVI_FIRST);
    request_(itemPath(node));
}

void CMyTreeCtrl::showListing(const std::wstring& folder,
                              const FtpListingConnection::Listing& listing) {
    const HTREEITEM node = waitingFolder(folder);
    if (!node)
        return;
    replaceChildren(node, [&] {
        for (const FtpListingConnection::Entry& entry : listing.entries)
            insert(node, entry.name, entry.directory ? kFolderImage : kFileImage, entry.directory);
        if (!listing.cut)
            return;
        wchar_t note[256] = {};
        std::swprintf(note, 256, loadResourceString(IDS_LISTING_CUT).c_str(),
                      static_cast<unsigned>(listing.entries.size()));
        insert(node, note, kErrorImage, false);
    });
    continueOpening(folder, node);
}

void CMyTreeCtrl::showFailure(const std::wstring& folder, const std::wstring& text) {
    const HTREEITEM node = waitingFolder(folder);
    if (!node)
        return;
    replaceChildren(node, [&] { insert(node, text, kErrorImage, false); });
    if (folder == openingFolder_)
        openingFolder_.clear();
}

void CMyTreeCtrl::replaceChildren(HTREEITEM node, const std::function<void()>& fill) {
    SelfChange change(*this);
    // The control counts what it shows only through expanding and collapsing: the folder is
    // collapsed while its children change, which also makes each insertion cheap.
    const bool expanded = (TreeView_GetItemState(hwnd(), node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    TreeView_Expand(hwnd(), node, TVE_COLLAPSE);
    deleteChildren(node);
    fill();
    if (!firstChild(node))
        removeButton(node);
    else if (expanded)
        TreeView_Expand(hwnd(), node, TVE_EXPAND);
}

void CMyTreeCtrl::continueOpening(const std::wstring& listedFolder, HTREEITEM node) {
    if (openingFolder_.empty() || listedFolder != openingFolder_)
        return;
    openingFolder_.clear();
    if (namesToOpen_.empty()) {
        TreeView_SetItemState(hwnd(), node, TVIS_BOLD, TVIS_BOLD);
        TreeView_SelectItem(hwnd(), node);
        return;
    }
    const HTREEITEM next = childNamed(node, namesToOpen_.front());
    namesToOpen_.erase(namesToOpen_.begin());
    if (!next || image(next) != kFolderImage)
        return;
    openingFolder_ = itemPath(next);
    openFolder(next);
}

HTREEITEM CMyTreeCtrl::waitingFolder(const std::wstring& path) const {
    HTREEITEM node = TreeView_GetRoot(hwnd());
    for (const std::wstring& name : namesOf(path)) {
        if (!node)
            return nullptr;
        node = childNamed(node, name);
    }
    const HTREEITEM child = node ? firstChild(node) : nullptr;
    return child && kind(child) == kWaitingItem ? node : nullptr;
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
    // Each expanding lists the folder again: what the tree showed before is never trusted.
    if (!changing_ && (change.action & TVE_EXPAND) != 0)
        requestListing(change.itemNew.hItem);
    return 0;
}

HTREEITEM CMyTreeCtrl::insert(HTREEITEM parent, const std::wstring& text, int image, bool folder,
                              LPARAM kind, HTREEITEM after) {
    TVINSERTSTRUCTW item{};
    item.hParent = parent;
    item.hInsertAfter = after;
    item.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    item.item.pszText = const_cast<wchar_t*>(text.c_str());
    item.item.iImage = item.item.iSelectedImage = image;
    // A folder may hold something; the button goes when its listing shows it empty.
    item.item.cChildren = folder ? 1 : 0;
    item.item.lParam = kind;
    const HTREEITEM inserted = TreeView_InsertItem(hwnd(), &item);
    if (!inserted)
        throw MemoryException();
    return inserted;
}

void CMyTreeCtrl::removeButton(HTREEITEM node) {
    TVITEMW item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = node;
    item.cChildren = 0;
    TreeView_SetItem(hwnd(), &item);
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

LPARAM CMyTreeCtrl::kind(HTREEITEM node) const {
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    return TreeView_GetItem(hwnd(), &item) ? item.lParam : kEntryItem;
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
