#pragma once

#include "platform/FtpListingConnection.h"
#include "platform/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

// The remote folder browser's tree: an FTP server's folders and files. Each folder is listed when
// it is expanded: the tree asks for the listing, shows that it waits, and shows the listing when
// it comes. Folders get an expand button and files none, as the listing says; a folder found empty
// loses its button. Images of its list: 0 error mark, 1 folder, 2 document. The control is not
// subclassed: under Wine each message through a subclass costs calls to the server, and a listing
// of 5,000 entries is 5,000 messages.
class CMyTreeCtrl {
public:
    static constexpr int kErrorImage = 0;
    static constexpr int kFolderImage = 1;
    static constexpr int kFileImage = 2;
    // Asks for the listing of a folder ("/" or "/a/b"); the answer comes to showListing or
    // showFailure.
    using ListingRequest = std::function<void(const std::wstring& folder)>;

    CMyTreeCtrl() = default;
    CMyTreeCtrl(const CMyTreeCtrl&) = delete;
    CMyTreeCtrl& operator=(const CMyTreeCtrl&) = delete;
    ~CMyTreeCtrl() { detach(); }

    // The dialog's tree control with this id; false when there is none.
    bool attach(HWND dialog, int id);
    // Before the control goes: it lets go of the image list, which is freed.
    void detach() noexcept;
    HWND hwnd() const noexcept { return hwnd_; }

    // The tree owns the list from here on, until detach.
    void setImageList(UniqueImageList images);

    // Empties the tree and lists the root; then opens the folders on the way down to startFolder
    // as their listings come, and selects that folder, in bold, once it is reached. A name that
    // is missing ends the way where it is.
    void begin(const std::wstring& startFolder, ListingRequest request);
    // The listing replaces what the folder showed, if the folder is still waiting for it.
    void showListing(const std::wstring& folder, const FtpListingConnection::Listing& listing);
    void showFailure(const std::wstring& folder, const std::wstring& text);
    // "/" for the root, else "/a/b" from the names on the way down.
    std::wstring itemPath(HTREEITEM node) const;

    // The tree's item-expanding notification, which the dialog hands over; returns the answer.
    LRESULT onItemExpanding(const NMTREEVIEWW& change);

private:
    class SelfChange;

    HTREEITEM insert(HTREEITEM parent, const std::wstring& text, int image, bool folder,
                     LPARAM kind = 0, HTREEITEM after = TVI_LAST);
    // Shows that the folder waits for its listing and asks for it.
    void requestListing(HTREEITEM node);
    // The same for a folder the tree opens itself, which it expands as well.
    void openFolder(HTREEITEM node);
    // The folder at that path if it waits for its listing; null otherwise.
    HTREEITEM waitingFolder(const std::wstring& path) const;
    // The children go and the folder shows what came instead: the listing, or one error line.
    void replaceChildren(HTREEITEM node, const std::function<void()>& fill);
    // The way to the start folder goes on below the folder just listed.
    void continueOpening(const std::wstring& listedFolder, HTREEITEM node);
    void removeButton(HTREEITEM node);
    HTREEITEM childNamed(HTREEITEM parent, const std::wstring& name) const;
    void deleteChildren(HTREEITEM node);
    std::wstring text(HTREEITEM node) const;
    int image(HTREEITEM node) const;
    LPARAM kind(HTREEITEM node) const;
    HTREEITEM firstChild(HTREEITEM node) const;
    HTREEITEM nextSibling(HTREEITEM node) const;
    HTREEITEM parentOf(HTREEITEM node) const;

    HWND hwnd_ = nullptr;
    ListingRequest request_;
    // The names still to open on the way to the start folder, below openingFolder_.
    std::vector<std::wstring> namesToOpen_;
    // The folder whose listing the way down waits for; empty when there is no way to go.
    std::wstring openingFolder_;
    // Set while the tree changes itself: its own expanding is no user's.
    bool changing_ = false;
    UniqueImageList images_;
};
