// Start-up, settings persistence, the status channel and shutdown of the application object.
// (winsock2.h must come before windows.h.)
#include <winsock2.h>

#include "app/CPixlanceApp.h"

#include "app/AppFolders.h"
#include "app/CommandLineRequest.h"
#include "app/ProgramRegistration.h"
#include "settings/RegistryProfile.h"
#include "app/StartupShortcut.h"
#include "output/BuiltinTarget.h"
#include "platform/ModulePath.h"
#include "platform/AppException.h"
#include "platform/MessagePump.h"
#include "platform/ResourceString.h"
#include "res/resource.h"
#include "ui/cPreferencesDlg.h"

#include <commctrl.h>
#include <ole2.h>

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

CPixlanceApp::CPixlanceApp() : tray(*this), instanceLock(settingsFolder() + L"running") {
    ftp.setCopyUrl(true);
    ftp.setOpenBrowser(true);
    ftp.setEnabled(true);
    ftp.setFtpCustom(false);
    ftp.setFallbackFolder(unsentFolder());
    setOutputs(&disk, &clipboard, &ftp);
    setStatusCallback(this);
}

CPixlanceApp::~CPixlanceApp() {
    MessagePump::setThreadMessageHandler(nullptr);
    if (oleStarted)
        ::OleUninitialize();
    if (socketsStarted)
        ::WSACleanup();
}

void CPixlanceApp::showStartupMessage(const std::wstring& text, UINT icon) {
    ::MessageBoxW(nullptr, text.c_str(), moduleBaseName().c_str(), MB_OK | icon);
}

bool CPixlanceApp::InitInstance(const std::wstring& commandLine) {
    if (!instanceLock.held()) {
        showStartupMessage(L"Another instance of the applcation\nis already running!",
                           MB_ICONINFORMATION);
        return false;
    }

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    WSADATA sockets;
    if (::WSAStartup(MAKEWORD(2, 2), &sockets) != 0) {
        showStartupMessage(loadResourceString(IDS_SOCKETS_INIT_FAILED), MB_ICONERROR);
        return false;
    }
    socketsStarted = true;
    if (FAILED(::OleInitialize(nullptr))) {
        showStartupMessage(loadResourceString(IDS_OLE_INIT_FAILED), MB_ICONERROR);
        return false;
    }
    oleStarted = true;

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

    trayMessage = ::RegisterWindowMessageW(kTrayMessageName);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    if (!tray.addTrayIcon(trayMessage, icon))
        return false;
    ::SendMessageW(tray.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(tray.hwnd(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(::LoadIconW(instance, MAKEINTRESOURCEW(IDI_LARGE))));
    // The hidden window stands in as the main window: it owns the clipboard and never shows in
    // the taskbar.
    clipboard.setOwner(tray.hwnd());
    ftp.setAddressHandoff(tray.hwnd());
    ::SetWindowLongPtrW(tray.hwnd(), GWL_EXSTYLE,
                        ::GetWindowLongPtrW(tray.hwnd(), GWL_EXSTYLE) & ~WS_EX_APPWINDOW);

    try {
        keyboardHook.install(::GetCurrentThreadId(), hotKeys);
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
    ftp.setTarget(server, username, BuiltinTarget::kPassword, path, false);
    ftp.setBuiltinUrl(profile.readAndKeep(kProfileSection, L"URL", BuiltinTarget::kUrl));

    if (runAtStartup != 0)
        createStartupShortcut();
    started = true;
    return true;
}

int CPixlanceApp::run() {
    return MessagePump::runUntilQuit();
}

void CPixlanceApp::ExitInstance() {
    keyboardHook.remove();
    MessagePump::setThreadMessageHandler(nullptr);
    if (!started)
        return;
    // A balloon now would vanish with the icon before anyone read it.
    const std::wstring path = settingsFilePath();
    if (!storeSettings(settingBag, {this, &disk, &clipboard, &ftp, &hotKeys}, path))
        showStartupMessage(saveFailedText(path), MB_ICONERROR);
    keepStartupShortcut(runAtStartup != 0);
    // Uploads in flight use the output and report to this object: they end before either goes.
    ftp.stopUploads(kUploadStopWaitMs);
}

void CPixlanceApp::loadSettings() {
    const std::wstring path = settingsFilePath();
    bool failed = false;
    try {
        settingBag.readFile(path);
        // Whatever a part throws, the program goes on: the parts not yet loaded keep their
        // defaults and the user hears of it once.
        try {
            for (ISettingPersist* part :
                 std::initializer_list<ISettingPersist*>{this, &disk, &clipboard, &ftp, &hotKeys})
                part->load(&settingBag);
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
    if (clipboardOutputOn != 0 && ftp.copyUrl())
        clipboardOutputOn = 0;
}

void CPixlanceApp::saveSettings() {
    const std::wstring path = settingsFilePath();
    if (!storeSettings(settingBag, {this, &disk, &clipboard, &ftp, &hotKeys}, path))
        notify(false, kSaveFailedTitle, saveFailedText(path));
    keepStartupShortcut(runAtStartup != 0);
}

void CPixlanceApp::createStartupShortcut() {
    StartupShortcut::create(startupFolder());
}

void CPixlanceApp::showPreferences() {
    if (preferencesOpen)
        return;
    preferencesOpen = true;
    // Cleared however this ends, or Exit would never work again.
    struct OpenFlag {
        bool& flag;
        ~OpenFlag() { flag = false; }
    } open{preferencesOpen};
    {
        cPreferencesDlg dialog(preferencesModel());
        dialog.runModal(nullptr);
    }
    // Whatever closed the dialog, the changes it made are kept.
    saveSettings();
}

bool CPixlanceApp::notify(bool ok, const std::wstring& title, const std::wstring& text) {
    tray.displayBalloon(ok ? CSystemTray::kBalloonInfo : CSystemTray::kBalloonError, title.c_str(),
                        text.empty() ? L"  " : text.c_str());
    return true;
}

void CPixlanceApp::progress(const std::wstring& title, const std::wstring& text) {
    tray.displayBalloon(CSystemTray::kBalloonInfo, title.c_str(), text.c_str());
}

void CPixlanceApp::load(ISettingBag* bag) {
    bag->getInt(L"DiskOutput", diskOutputOn);
    bag->getInt(L"ClipboardOutput", clipboardOutputOn);
    bag->getInt(L"RunAtStartup", runAtStartup);
    bag->getInt(L"OutputFormat", outputFormat);
}

void CPixlanceApp::save(ISettingBag* bag) {
    bag->setInt(L"DiskOutput", diskOutputOn);
    bag->setInt(L"ClipboardOutput", clipboardOutputOn);
    bag->setInt(L"RunAtStartup", runAtStartup);
    bag->setInt(L"OutputFormat", outputFormat);
}
