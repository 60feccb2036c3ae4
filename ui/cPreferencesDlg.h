#pragma once

#include "platform/Dialog.h"
#include "ui/PreferencesModel.h"

#include <windows.h>

#include <array>
#include <memory>

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

private:
    void addPage(int index, UINT captionId);
    void showPage(int index);
    void layoutCurrentPage();

    HWND tabCtrl = nullptr;
    std::array<std::unique_ptr<Dialog>, 2> pages;
    int currentPage = -1;
};
