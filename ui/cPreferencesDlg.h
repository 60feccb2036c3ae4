#pragma once

#include "platform/Dialog.h"
#include "ui/PreferencesModel.h"

#include <windows.h>

#include <array>
#include <memory>

class cPanelFTP;

// The preferences window: a tab control over two pages, General and FTP. It has no buttons; the
// pages write every change into the application at once, and the caller saves the settings when
// the window closes, however it was closed.
class cPreferencesDlg : public Dialog {
public:
    explicit cPreferencesDlg(const PreferencesModel& model);

    // The page shown (0 General, 1 FTP), or -1 before the first is shown.
    int shownPage() const noexcept { return currentPage; }

protected:
    bool onInitDialog() override;
    bool onNotify(NMHDR& header, LRESULT& result) override;
    bool onSize(int width, int height) override;
    // Escape ends the FTP page's wait, if one is on, rather than the dialog.
    bool onCommand(int id, int code, HWND control) override;
    // The close box closes the dialog, wait or no wait.
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void addPage(int index, UINT captionId);
    void showPage(int index);
    void layoutCurrentPage();

    HWND tabCtrl = nullptr;
    std::array<std::unique_ptr<Dialog>, 2> pages;
    cPanelFTP* ftpPage = nullptr; // pages[1]
    int currentPage = -1;
};
