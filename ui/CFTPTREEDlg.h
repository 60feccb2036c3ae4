#pragma once

#include "platform/Dialog.h"
#include "ui/CMyTreeCtrl.h"
#include "ui/FtpWorker.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

// A look at an FTP server's folders and files, opened down to the remote folder of an upload
// target. It lists through the worker it is given, which has logged in already, and answers
// messages while the listings are on their way; it changes nothing and gives nothing back.
class CFTPTREEDlg : public Dialog {
public:
    // startFolder: where the tree opens ("/" or "/a/b").
    CFTPTREEDlg(FtpWorker worker, std::wstring startFolder);

    // What the browser tells of a failed login or listing: the server's reply or the system's
    // text.
    static std::wstring failureText(const std::exception_ptr& failure);

protected:
    bool onInitDialog() override;
    bool onNotify(NMHDR& header, LRESULT& result) override;
    bool onSize(int width, int height) override;
    bool onGetMinMaxInfo(MINMAXINFO& limits) override;
    bool onDestroy() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void recordLayout();
    void createImageList();
    void showReply(const FtpWorker::Reply& reply);

    CMyTreeCtrl folderTree;
    // Goes with the window, so that no answer is left for a window that is gone.
    std::optional<FtpWorker> worker;
    std::wstring startFolder;
    std::int32_t initialWidth = 0;
    std::int32_t initialHeight = 0;
    bool initialSizeKnown = false;
    // The layout a size change starts from, in client coordinates.
    SIZE initialClient{};
    RECT initialTree{};
    RECT initialButton{};
};
