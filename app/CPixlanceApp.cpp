// Start-up, settings persistence, the status channel and shutdown of the application object.
#include "app/CPixlanceApp.h"

#include "app/AppFolders.h"
#include "app/CommandLineRequest.h"
#include "app/ProgramRegistration.h"
#include "settings/RegistryProfile.h"
#include "app/StartupShortcut.h"
#include "output/BuiltinTarget.h"
#include "output/upload/HistoryText.h"
#include "platform/ModulePath.h"
#include "platform/AppException.h"
#include "platform/MessagePump.h"
#include "platform/ResourceString.h"
#include "res/resource.h"
#include "ui/cPreferencesDlg.h"

#include <commctrl.h>

namespace {

constexpr const wchar_t* kProfileKey = L"Morvex_1.0";
constexpr const wchar_t* kProfileSection = L"Default";
constexpr const wchar_t* kTrayMessageName = L"TrayMessage-EBCB65A0-C3C3-476a-8961-5BCF92D2ED2D";

std::wstring settingsFilePath() {
    return settingsFolder() + L"Settings.dat";
}

constexpr const wchar_t* kSaveFailedTitle = L"Settings could not be saved";
constexpr const wchar_t* kLoadFailedTitle = L"Settings could not be loaded";

// Each part's settings into the bag, then the bag into the file. False when the file could not be
// written; the previous file is then still intact.
bool storeSettings(cBinSettingBag& bag, std::initializer_list<ISettingPersist*> parts,
                   const std::wstring& path) {
    for (ISettingPersist* part : parts)
        part->save(&bag);
    try {
        bag.writeFile(path);
    } catch (const AppException&) {
        return false;
    }
    return true;
}

std::wstring saveFailedText(const std::wstring& path) {
    return L"The settings file could not be written: " + path;
}

// Every save brings the shortcut in line with "RunAtStartup"; failures are of no consequence.
void keepStartupShortcut(bool runAtStartup) {
    if (runAtStartup)
        StartupShortcut::create(startupFolder());
    else
        StartupShortcut::remove(startupFolder());
}

bool fileIsMissing(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

CPixlanceApp::CPixlanceApp() : tray_(*this), instanceLock_(settingsFolder() + L"running") {
    ftp_.setCopyUrl(true);
    ftp_.setOpenBrowser(true);
    ftp_.setEnabled(true);
    ftp_.setFtpCustom(false);
    ftp_.setReceiver(this);
    setOutputs(&disk_, &clipboard_, &ftp_);
    setStatusCallback(this);
}

CPixlanceApp::~CPixlanceApp() {
    MessagePump::setThreadMessageHandler(nullptr);
}

void CPixlanceApp::showStartupMessage(const std::wstring& text, UINT icon) {
    ::MessageBoxW(nullptr, text.c_str(), moduleBaseName().c_str(), MB_OK | icon);
}

bool CPixlanceApp::InitInstance(const std::wstring& commandLine) {
    if (!instanceLock_.held()) {
        showStartupMessage(L"Another instance of the applcation\nis already running!",
                           MB_ICONINFORMATION);
        return false;
    }

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    if (!services_.startSockets()) {
        showStartupMessage(loadResourceString(IDS_SOCKETS_INIT_FAILED), MB_ICONERROR);
        return false;
    }
    if (!services_.startOle()) {
        showStartupMessage(loadResourceString(IDS_OLE_INIT_FAILED), MB_ICONERROR);
        return false;
    }

    RegistryProfile profile(kProfileKey, moduleBaseName());

    switch (parseCommandLine(commandLine)) {
    case CommandLineRequest::Register:
        ProgramRegistration::registerProgram(modulePath());
        return false;
    case CommandLineRequest::Unregister:
        ProgramRegistration::unregisterProgram();
        return false;
    case CommandLineRequest::Run:
        break;
    }

    trayMessage_ = ::RegisterWindowMessageW(kTrayMessageName);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    if (!tray_.addTrayIcon(trayMessage_, icon))
        return false;
    ::SendMessageW(tray_.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(tray_.hwnd(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(::LoadIconW(instance, MAKEINTRESOURCEW(IDI_LARGE))));
    // The hidden window stands in as the main window: it owns the clipboard and never shows in
    // the taskbar.
    clipboard_.setOwner(tray_.hwnd());
    ::SetWindowLongPtrW(tray_.hwnd(), GWL_EXSTYLE,
                        ::GetWindowLongPtrW(tray_.hwnd(), GWL_EXSTYLE) & ~WS_EX_APPWINDOW);

    try {
        keyboardHook_.install(::GetCurrentThreadId(), hotKeys_);
    } catch (const AppException& error) {
        // The icon and the settings still work; the user learns why the keys do nothing.
        notify(false, L"Hot keys are not available", error.shownMessage());
    }
    MessagePump::setThreadMessageHandler([this](const MSG& msg) { handleThreadMessage(msg); });

    loadSettings();

    const std::wstring server =
        profile.readAndKeep(kProfileSection, L"Server", BuiltinTarget::kServer);
    const std::wstring username =
        profile.readAndKeep(kProfileSection, L"Username", BuiltinTarget::kUsername);
    const std::wstring path = profile.readAndKeep(kProfileSection, L"Path", BuiltinTarget::kPath);
    ftp_.setTarget(server, username, BuiltinTarget::kPassword, path, false);
    ftp_.setBuiltinUrl(profile.readAndKeep(kProfileSection, L"URL", BuiltinTarget::kUrl));

    if (runAtStartup_ != 0)
        createStartupShortcut();
    started_ = true;
    // What earlier runs could not send goes now.
    ftp_.resumeQueue();
    return true;
}

int CPixlanceApp::run() {
    return MessagePump::runUntilQuit();
}

void CPixlanceApp::ExitInstance() {
    if (!shutDown_)
        shutDown();
}

void CPixlanceApp::endSession() {
    if (shutDown_)
        return;
    shutDown();
    // Should the system let the process live on, it ends by itself.
    ::PostQuitMessage(0);
}

void CPixlanceApp::shutDown() {
    shutDown_ = true;
    keyboardHook_.remove();
    MessagePump::setThreadMessageHandler(nullptr);
    if (!started_)
        return;
    // Nothing more is sent; what is in flight stays queued for the next start.
    ftp_.stopUploads(kUploadStopWaitMs);
    // A balloon now would vanish with the icon before anyone read it.
    const std::wstring path = settingsFilePath();
    if (!storeSettings(settingBag_, {this, &disk_, &clipboard_, &ftp_, &hotKeys_}, path))
        showStartupMessage(saveFailedText(path), MB_ICONERROR);
    keepStartupShortcut(runAtStartup_ != 0);
}

std::vector<stRecentUpload> CPixlanceApp::recentUploads() const {
    std::vector<stRecentUpload> recent;
    for (const stHistoryEntry& entry : ftp_.recentUploads(CSystemTray::kRecentShown))
        recent.push_back({HistoryText::fileNamePart(entry.address), entry.address});
    return recent;
}

void CPixlanceApp::loadSettings() {
    const std::wstring path = settingsFilePath();
    bool failed = false;
    try {
        settingBag_.readFile(path);
        // Whatever a part throws, the program goes on: the parts not yet loaded keep their
        // defaults and the user hears of it once.
        try {
            for (ISettingPersist* part : std::initializer_list<ISettingPersist*>{
                     this, &disk_, &clipboard_, &ftp_, &hotKeys_})
                part->load(&settingBag_);
        } catch (...) {
            failed = true;
        }
    } catch (...) {
        // A first start has no file yet, which is not worth a word.
        failed = !fileIsMissing(path);
    }
    if (failed)
        notify(false, kLoadFailedTitle, L"The settings file could not be read: " + path);
    // The clipboard can hold the image or its address, not both; the address wins.
    if (clipboardOutputOn_ != 0 && ftp_.copyUrl())
        clipboardOutputOn_ = 0;
}

void CPixlanceApp::saveSettings() {
    const std::wstring path = settingsFilePath();
    if (!storeSettings(settingBag_, {this, &disk_, &clipboard_, &ftp_, &hotKeys_}, path))
        notify(false, kSaveFailedTitle, saveFailedText(path));
    keepStartupShortcut(runAtStartup_ != 0);
}

void CPixlanceApp::createStartupShortcut() {
    StartupShortcut::create(startupFolder());
}

void CPixlanceApp::showPreferences() {
    if (preferencesOpen_)
        return;
    preferencesOpen_ = true;
    // Cleared however this ends, or Exit would never work again.
    struct OpenFlag {
        bool& flag;
        ~OpenFlag() { flag = false; }
    } open{preferencesOpen_};
    {
        cPreferencesDlg dialog(preferencesModel());
        dialog.runModal(nullptr);
    }
    // Whatever closed the dialog, the changes it made are kept.
    saveSettings();
}

bool CPixlanceApp::notify(bool ok, const std::wstring& title, const std::wstring& text) {
    tray_.displayBalloon(ok ? CSystemTray::kBalloonInfo : CSystemTray::kBalloonError, title.c_str(),
                         text.empty() ? L"  " : text.c_str());
    return true;
}

void CPixlanceApp::progress(const std::wstring& title, const std::wstring& text) {
    tray_.displayBalloon(CSystemTray::kBalloonInfo, title.c_str(), text.c_str());
}

void CPixlanceApp::load(ISettingBag* bag) {
    bag->getInt(L"DiskOutput", diskOutputOn_);
    bag->getInt(L"ClipboardOutput", clipboardOutputOn_);
    bag->getInt(L"RunAtStartup", runAtStartup_);
    bag->getInt(L"OutputFormat", outputFormat_);
    bag->getInt(L"Magnifier", magnifierOn_);
}

void CPixlanceApp::save(ISettingBag* bag) {
    bag->setInt(L"DiskOutput", diskOutputOn_);
    bag->setInt(L"ClipboardOutput", clipboardOutputOn_);
    bag->setInt(L"RunAtStartup", runAtStartup_);
    bag->setInt(L"OutputFormat", outputFormat_);
    bag->setInt(L"Magnifier", magnifierOn_);
}
