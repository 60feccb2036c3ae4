#include "ui/cPreferencesDlg.h"

#include "platform/ResourceString.h"
#include "res/PreferencesIds.h"
#include "res/resource.h"
#include "ui/cPanelFTP.h"
#include "ui/cPanelGeneral.h"

#include <commctrl.h>

namespace {

HICON programIcon(UINT id, int sizeMetric) {
    const int size = ::GetSystemMetrics(sizeMetric);
    // Shared icons belong to the module and need no clean-up.
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_ICON, size, size, LR_SHARED));
}

} // namespace

cPreferencesDlg::cPreferencesDlg(const PreferencesModel& model) : Dialog(IDD_PREFERENCES) {
    pages[0] = std::make_unique<cPanelGeneral>(model);
    auto ftp = std::make_unique<cPanelFTP>(model);
    ftpPage = ftp.get();
    pages[1] = std::move(ftp);
}

bool cPreferencesDlg::onInitDialog() {
    tabCtrl = item(IDC_PAGE_TABS);
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(programIcon(IDR_MAINFRAME, SM_CXSMICON)));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(programIcon(IDI_LARGE, SM_CXICON)));

    // Each page reads the live values as its window is made.
    addPage(0, IDS_TAB_GENERAL);
    addPage(1, IDS_TAB_FTP);
    TabCtrl_SetCurSel(tabCtrl, 0);
    showPage(0);
    return true;
}

void cPreferencesDlg::addPage(int index, UINT captionId) {
    pages[index]->createChild(hwnd());
    std::wstring caption = loadResourceString(captionId);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption.data();
    TabCtrl_InsertItem(tabCtrl, index, &tab);
}

bool cPreferencesDlg::onNotify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != tabCtrl || header.code != TCN_SELCHANGE)
        return false;
    result = 0;
    const int selected = TabCtrl_GetCurSel(tabCtrl);
    if (selected < 0 || selected >= static_cast<int>(pages.size()))
        return true;
    TabCtrl_SetCurSel(tabCtrl, selected);
    showPage(selected);
    return true;
}

bool cPreferencesDlg::onSize(int width, int height) {
    // The frame cannot be resized; this comes while the window is made, before the tab control
    // is known, so the tab control keeps the place the template gives it.
    if (tabCtrl)
        ::SetWindowPos(tabCtrl, HWND_TOP, 0, 0, width, height, SWP_SHOWWINDOW);
    layoutCurrentPage();
    return false;
}

bool cPreferencesDlg::onCommand(int id, int code, HWND control) {
    if (id == IDCANCEL && ftpPage->cancelWait())
        return true;
    return Dialog::onCommand(id, code, control);
}

bool cPreferencesDlg::onMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_CLOSE)
        return false;
    endDialog(IDCANCEL);
    result = 0;
    return true;
}

void cPreferencesDlg::showPage(int index) {
    if (currentPage != -1)
        ::ShowWindow(pages[currentPage]->hwnd(), SW_HIDE);
    currentPage = index;
    ::ShowWindow(pages[currentPage]->hwnd(), SW_SHOW);
    layoutCurrentPage();
}

void cPreferencesDlg::layoutCurrentPage() {
    if (currentPage == -1 || !tabCtrl)
        return;
    RECT area;
    ::GetWindowRect(tabCtrl, &area);
    TabCtrl_AdjustRect(tabCtrl, FALSE, &area);
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&area), 2);
    ::SetWindowPos(pages[currentPage]->hwnd(), HWND_TOP, area.left, area.top,
                   area.right - area.left, area.bottom - area.top, SWP_SHOWWINDOW);
}
