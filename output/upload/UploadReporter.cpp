#include "output/upload/UploadReporter.h"

namespace {

const wchar_t kUploadedTitle[] = L"Upload successfull";
const wchar_t kFailedTitle[] = L"Upload failed";
const wchar_t kClipboardHeld[] =
    L"The clipboard was held by another program; the address was not copied.";

} // namespace

UploadReporter::UploadReporter(const Switches& switches, UploadHistory& history)
    : switches_(switches), history_(history) {}

std::wstring UploadReporter::keptLine(const std::wstring& keptPath) {
    return L"The image was kept in " + keptPath;
}

void UploadReporter::notify(bool ok, const std::wstring& title, const std::wstring& text) {
    if (receiver_)
        receiver_->notify(ok, title, text);
}

void UploadReporter::uploaded(const stFrameEntry& entry, const std::wstring& address,
                              const stSendTarget& target) {
    try {
        stHistoryEntry record{L"", address, entry.localPath, target.server};
        UploadHistory::stampLocalTime(record);
        history_.append(record);
    } catch (const AppException&) {
        // The address still reaches the user; a history that can't be written is no reason to
        // hold it back.
    }
    if (switches_.openBrowser)
        AddressDelivery::openInBrowser(address);
    if (!switches_.copyUrl) {
        notify(true, kUploadedTitle, address);
        return;
    }
    delivery_.copy(address, [this, address](bool copied) {
        notify(true, kUploadedTitle,
               (copied ? std::wstring(L"URL copied to clipboard") : kClipboardHeld) + L"\n" +
                   address);
    });
}

void UploadReporter::failed(const stFrameEntry& entry, const std::wstring& text,
                            const std::wstring& keptPath, bool) {
    if (entry.quiet)
        return;
    std::wstring told = text;
    if (!told.empty() && told.back() != L'\n')
        told += L'\n';
    notify(false, kFailedTitle, told + keptLine(keptPath));
}

void UploadReporter::noTarget(const std::wstring& keptPath, IFrameOutputUpdate* update) {
    if (update)
        update->notify(false, kFailedTitle, L"No upload server is set.\n" + keptLine(keptPath));
}

void UploadReporter::copyAgain(const std::wstring& address) {
    delivery_.copy(address, [this](bool copied) {
        if (!copied)
            notify(false, L"Error", kClipboardHeld);
    });
}
