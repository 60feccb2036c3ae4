#include "ui/cPanelFTP.h"

#include "settings/RegistryProfile.h"
#include "output/UploadAddress.h"
#include "output/UploadFailureText.h"
#include "platform/CallbackGuard.h"
#include "platform/DialogData.h"
#include "platform/InternetException.h"
#include "platform/ResourceString.h"
#include "platform/TextCut.h"
#include "res/PreferencesIds.h"
#include "res/RemoteFolderIds.h"
#include "ui/CFTPTREEDlg.h"

namespace {

constexpr std::initializer_list<int> kTargetButtons = {IDC_TARGET_BUILTIN, IDC_TARGET_CUSTOM,
                                                       IDC_TARGET_NONE};
// The exception's own text is shown up to this length.
constexpr std::size_t kMaxErrorText = 255;
// A worker's answer (FtpWorker::Reply in lParam).
constexpr UINT kWorkerReplyMessage = WM_APP + 1;

} // namespace

cPanelFTP::cPanelFTP(const PreferencesModel& model) : Dialog(IDD_PANEL_FTP), model(model) {}

bool cPanelFTP::onInitDialog() {
    serverEdit = item(IDC_FTP_SERVER);
    userEdit = item(IDC_FTP_USER);
    passwordEdit = item(IDC_FTP_PASSWORD);
    pathEdit = item(IDC_FTP_PATH);
    urlEdit = item(IDC_FTP_URL);
    serverLabel = item(IDC_FTP_SERVER_LABEL);
    userLabel = item(IDC_FTP_USER_LABEL);
    passwordLabel = item(IDC_FTP_PASSWORD_LABEL);
    pathLabel = item(IDC_FTP_PATH_LABEL);
    urlLabel = item(IDC_FTP_URL_LABEL);
    randomNameCheck = item(IDC_FTP_RANDOM_NAME);

    model.ftp.getTarget(serverText, userText, passwordText, pathText, true);
    urlText = model.ftp.customUrl();
    uploadTarget = !model.ftp.isEnabled()  ? TargetNone
                   : model.ftp.ftpCustom() ? TargetCustom
                                           : TargetBuiltIn;
    showMembers();
    DialogData::setChecked(hwnd(), IDC_FTP_RANDOM_NAME, model.ftp.randomName() ? 1 : 0);
    DialogData::enable(hwnd(), IDC_FTP_SAVE, false);
    updateFieldVisibility();
    return true;
}

bool cPanelFTP::onCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_TARGET_BUILTIN:
    case IDC_TARGET_CUSTOM:
    case IDC_TARGET_NONE:
        if (code != BN_CLICKED)
            return false;
        // A wait for the target shown before is no use any more.
        cancelWait();
        readControls();
        updateFieldVisibility();
        model.ftp.setFtpCustom(uploadTarget == TargetCustom);
        model.ftp.setEnabled(uploadTarget != TargetNone);
        return true;
    case IDC_FTP_SERVER:
    case IDC_FTP_USER:
    case IDC_FTP_PASSWORD:
    case IDC_FTP_PATH:
    case IDC_FTP_URL:
        // Filling the edits from the members is no change of the user's.
        if (code != EN_CHANGE || showingMembers)
            return false;
        readControls();
        DialogData::enable(hwnd(), IDC_FTP_SAVE, true);
        updateFieldVisibility();
        return true;
    case IDC_FTP_SAVE:
        validateAndStore();
        return true;
    case IDC_FTP_RANDOM_NAME:
        if (code != BN_CLICKED)
            return false;
        model.ftp.setRandomName(DialogData::checked(hwnd(), IDC_FTP_RANDOM_NAME) != 0);
        return true;
    case IDC_FTP_TEST:
    case IDC_FTP_BROWSE:
        if (code != BN_CLICKED)
            return false;
        // While it waits, the button is the wait's Cancel.
        if (wait.button() == id)
            cancelWait();
        else if (id == IDC_FTP_TEST)
            testConnection();
        else
            browseRemoteFolders();
        return true;
    default:
        return false;
    }
}

void cPanelFTP::readControls() {
    HWND page = hwnd();
    serverText = DialogData::text(page, IDC_FTP_SERVER);
    userText = DialogData::text(page, IDC_FTP_USER);
    passwordText = DialogData::text(page, IDC_FTP_PASSWORD);
    pathText = DialogData::text(page, IDC_FTP_PATH);
    urlText = DialogData::text(page, IDC_FTP_URL);
    const int chosen = DialogData::radioIndex(page, kTargetButtons);
    if (chosen >= 0)
        uploadTarget = chosen;
}

void cPanelFTP::showMembers() {
    showingMembers = true;
    HWND page = hwnd();
    DialogData::setText(page, IDC_FTP_SERVER, serverText);
    DialogData::setText(page, IDC_FTP_USER, userText);
    DialogData::setText(page, IDC_FTP_PASSWORD, passwordText);
    DialogData::setText(page, IDC_FTP_PATH, pathText);
    DialogData::setText(page, IDC_FTP_URL, urlText);
    DialogData::setRadioIndex(page, kTargetButtons, uploadTarget);
    showingMembers = false;
}

void cPanelFTP::updateFieldVisibility() {
    const int show = uploadTarget == TargetCustom ? SW_SHOW : SW_HIDE;
    // Browse goes with Test and Save: the built-in account's folders are not the user's to see.
    // The built-in account's files always get the random suffix.
    for (HWND window : {serverEdit, userEdit, passwordEdit, pathEdit, serverLabel, userLabel,
                        passwordLabel, pathLabel, urlEdit, urlLabel, randomNameCheck,
                        item(IDC_FTP_SAVE), item(IDC_FTP_TEST), item(IDC_FTP_BROWSE)})
        ::ShowWindow(window, show);
}

bool cPanelFTP::validateAndStore() {
    readControls();
    struct Required {
        const std::wstring& text;
        const wchar_t* message;
        HWND edit;
    };
    for (const Required& field : {Required{serverText, L"Enter a valid server address", serverEdit},
                                  Required{userText, L"Enter a valid user name", userEdit},
                                  Required{passwordText, L"Enter a valid password", passwordEdit},
                                  Required{urlText, L"Enter a valid url", urlEdit}}) {
        if (field.text.empty()) {
            showMessage(field.message, MB_ICONERROR);
            ::SetFocus(field.edit);
            return false;
        }
    }
    model.ftp.setTarget(serverText, userText, passwordText, pathText, true);
    model.ftp.setEnabled(uploadTarget != TargetNone);
    model.ftp.setFtpCustom(uploadTarget == TargetCustom);
    model.ftp.setCustomUrl(urlText);
    DialogData::enable(hwnd(), IDC_FTP_SAVE, false);
    updateFieldVisibility();
    return true;
}

void cPanelFTP::testConnection() {
    // A test stores the fields exactly as Save does, whether or not it then connects.
    if (!validateAndStore())
        return;
    if (const std::optional<stFtpLogin> login = targetLogin())
        startWorker(IDC_FTP_TEST, *login);
}

std::wstring cPanelFTP::connectErrorText(const AppException& error, bool custom,
                                         const std::wstring& server) {
    const auto* internet = dynamic_cast<const InternetException*>(&error);
    return UploadFailureText::forFailure(internet ? internet->errorCode()
                                                  : UploadFailureText::kNotAnInternetError,
                                         cutText(error.message(), kMaxErrorText), custom, server);
}

void cPanelFTP::browseRemoteFolders() {
    readControls();
    if (const std::optional<stFtpLogin> login = targetLogin())
        startWorker(IDC_FTP_BROWSE, *login);
}

std::optional<stFtpLogin> cPanelFTP::targetLogin() {
    std::wstring server = serverText;
    std::wstring user = userText;
    std::wstring password = passwordText;
    if (uploadTarget == TargetBuiltIn) {
        std::wstring path;
        model.ftp.getTarget(server, user, password, path, false);
    }
    if (server.empty())
        return std::nullopt;
    const std::optional<UploadAddress::stFtpServer> address = UploadAddress::ftpServer(server);
    if (!address) {
        showMessage(loadResourceString(IDS_INVALID_FTP_ADDRESS), MB_ICONERROR);
        return std::nullopt;
    }
    return stFtpLogin{address->host, address->port, user, password};
}

std::wstring cPanelFTP::targetFolder() const {
    std::wstring folder = pathText;
    if (uploadTarget == TargetBuiltIn) {
        std::wstring server, user, password;
        model.ftp.getTarget(server, user, password, folder, false);
    }
    return folder.empty() ? L"/" : folder;
}

void cPanelFTP::startWorker(int button, const stFtpLogin& login) {
    try {
        FtpWorker worker(login, model.ftp.modes(), hwnd(), kWorkerReplyMessage);
        worker.logIn();
        wait.begin(hwnd(), button, button == IDC_FTP_TEST ? IDC_FTP_BROWSE : IDC_FTP_TEST,
                   std::move(worker), cFTPOutput::kDialogConnectTimeoutMs);
    } catch (const InternetException& error) {
        // The worker's session could not be opened.
        showMessage(button == IDC_FTP_TEST
                        ? connectErrorText(error, uploadTarget == TargetCustom, login.host)
                        : loadResourceString(IDS_NO_INTERNET_SESSION),
                    MB_ICONERROR);
    } catch (const AppException& error) {
        // No thread for the worker.
        showMessage(error.shownMessage(), MB_ICONERROR);
    }
}

bool cPanelFTP::cancelWait() noexcept {
    return wait.end().has_value();
}

bool cPanelFTP::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != kWorkerReplyMessage)
        return false;
    onWorkerReply(FtpWorker::takeReply(lParam));
    result = 0;
    return true;
}

void cPanelFTP::onWorkerReply(std::unique_ptr<FtpWorker::Reply> reply) {
    // Only the worker waited for answers: the others were given up with their waits.
    const int button = wait.button();
    const std::wstring host = wait.active() ? wait.login().host : std::wstring();
    std::optional<FtpWorker> worker = wait.end();
    if (!worker || !reply)
        return;
    if (reply->failure) {
        worker.reset();
        showMessage(failureText(button, reply->failure, host), MB_ICONERROR);
    } else if (button == IDC_FTP_BROWSE) {
        openBrowser(std::move(*worker));
    } else {
        worker.reset();
        showMessage(L"Connected successfully", MB_ICONINFORMATION);
    }
}

bool cPanelFTP::onTimer(UINT_PTR id) {
    if (id != FtpPageWait::kTimerId)
        return false;
    onWaitTimedOut();
    return true;
}

void cPanelFTP::onWaitTimedOut() {
    // Ending the wait closes the worker's session, which ends its own wait for the server.
    const int button = wait.button();
    const std::wstring host = wait.active() ? wait.login().host : std::wstring();
    if (!wait.end())
        return;
    showMessage(failureText(button,
                            std::make_exception_ptr(InternetException(ERROR_INTERNET_TIMEOUT)),
                            host),
                MB_ICONERROR);
}

bool cPanelFTP::onDestroy() {
    wait.end();
    return false;
}

std::wstring cPanelFTP::failureText(int button, const std::exception_ptr& failure,
                                    const std::wstring& host) const {
    if (button != IDC_FTP_TEST)
        return CFTPTREEDlg::failureText(failure);
    try {
        std::rethrow_exception(failure);
    } catch (const AppException& error) {
        return connectErrorText(error, uploadTarget == TargetCustom, host);
    } catch (...) {
        return connectErrorText(CallbackGuardReports::unexpected, uploadTarget == TargetCustom,
                                host);
    }
}

void cPanelFTP::openBrowser(FtpWorker worker) {
    CFTPTREEDlg browser(std::move(worker), targetFolder());
    browser.runModal(hwnd());
}

void cPanelFTP::showMessage(const std::wstring& text, UINT icon) {
    ::MessageBoxW(hwnd(), text.c_str(), moduleBaseName().c_str(), MB_OK | icon);
}
