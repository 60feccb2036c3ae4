#pragma once

#include "platform/FtpConnection.h"
#include "platform/Handles.h"
#include "platform/SubclassedControl.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// The remote folder browser's tree: an FTP server's folders and files, each folder listed from the
// server when its node is expanded or collapsed. Images of its list: 0 error mark, 1 folder,
// 2 document.
class CMyTreeCtrl : public SubclassedControl {
public:
    static constexpr int kErrorImage = 0;
    static constexpr int kFolderImage = 1;
    static constexpr int kFileImage = 2;

    // The tree owns the list from here on and destroys it with its window.
    void setImageList(UniqueImageList images);

    // Empties the tree and, with a connection, lists the root and opens the tree down to
    // startPath (none when empty); without one, shows only the error item. The connection stays
    // the caller's and must outlive the tree's use of it.
    void populateTree(const std::wstring& startPath, const FtpConnection* connection,
                      DWORD_PTR context);
    // Replaces the node's children by the listing of that remote folder.
    void listFolder(const std::wstring& folderPath, HTREEITEM node);
    // "/" for the root, else "/a/b" from the names on the way down.
    std::wstring itemPath(HTREEITEM node) const;

    // The tree's item-expanding notification, which the dialog hands over; returns the answer.
    LRESULT onItemExpanding(const NMTREEVIEWW& change);

protected:
    bool onDestroy() override;

private:
    HTREEITEM insert(HTREEITEM parent, const std::wstring& text, int image);
    void openPath(const std::wstring& startPath);
    HTREEITEM childNamed(HTREEITEM parent, const std::wstring& name) const;
    void deleteChildren(HTREEITEM node);
    // Whether the folder holds anything besides "." and ".."; raises InternetException when the
    // server did not answer in time.
    bool folderHasEntries(const std::wstring& folderPath);
    std::wstring text(HTREEITEM node) const;
    int image(HTREEITEM node) const;
    HTREEITEM firstChild(HTREEITEM node) const;
    HTREEITEM nextSibling(HTREEITEM node) const;
    HTREEITEM parentOf(HTREEITEM node) const;

    const FtpConnection* connection = nullptr;
    DWORD_PTR context = 0;
    UniqueImageList images_;
};
