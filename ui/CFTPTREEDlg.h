#pragma once

#include "platform/Dialog.h"
#include "platform/FtpConnection.h"
#include "ui/CMyTreeCtrl.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

class cFTPOutput;

// A look at an FTP server's folders and files, opened down to the remote folder of an upload
// target. It connects once, through the FTP output's session, when it opens; it changes nothing
// and gives nothing back.
class CFTPTREEDlg : public Dialog {
public:
    // Without an output there is no session to connect through. The server may have a scheme in
    // front; path is where the tree opens, or, when empty, the path written in the server's
    // address.
    CFTPTREEDlg(cFTPOutput* output, std::wstring server, std::wstring user, std::wstring password,
                std::wstring path);

protected:
    bool onInitDialog() override;
    bool onNotify(NMHDR& header, LRESULT& result) override;
    bool onSize(int width, int height) override;
    bool onGetMinMaxInfo(MINMAXINFO& limits) override;

private:
    // Opens the connection; false, after telling the user why, when there is none.
    bool connect(const std::wstring& host, std::uint16_t port);
    void recordLayout();
    void createImageList();
    void showMessage(const std::wstring& text);
    // Closes the dialog as soon as its loop runs.
    void endCancelled();

    CMyTreeCtrl folderTree;
    cFTPOutput* output;
    std::optional<FtpConnection> connection;
    std::int32_t initialWidth = 0;
    std::int32_t initialHeight = 0;
    bool initialSizeKnown = false;
    // The layout a size change starts from, in client coordinates.
    SIZE initialClient{};
    RECT initialTree{};
    RECT initialButton{};
    std::wstring server;
    std::wstring userName;
    std::wstring password;
    std::wstring path;
};
