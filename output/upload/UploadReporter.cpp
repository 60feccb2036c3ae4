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
    const auto early = early_.find(entry.fileName);
    if (!switches_.copyUrl) {
        if (early != early_.end())
            early_.erase(early);
        notify(true, kUploadedTitle, address);
        return;
    }
    AddressDelivery::CopyDone tell = [this, address](bool copied) {
        notify(true, kUploadedTitle,
               (copied ? std::wstring(L"URL copied to clipboard") : kClipboardHeld) + L"\n" +
                   address);
    };
    if (early == early_.end()) {
        delivery_.copy(address, std::move(tell));
    } else if (early->second.copied) {
        const bool copied = *early->second.copied;
        early_.erase(early);
        tell(copied);
    } else {
        early->second.tell = std::move(tell);
    }
}

void UploadReporter::transferred(const stFrameEntry& entry, const std::wstring& address) {
    if (!switches_.copyUrl)
        return;
    early_[entry.fileName] = EarlyCopy{};
    delivery_.copy(address, [this, name = entry.fileName](bool copied) {
        const auto early = early_.find(name);
        if (early == early_.end())
            return;
        if (!early->second.tell) {
            early->second.copied = copied;
            return;
        }
        const AddressDelivery::CopyDone tell = std::move(early->second.tell);
        early_.erase(early);
        tell(copied);
    });
}

void UploadReporter::failed(const stFrameEntry& entry, const std::wstring& text,
                            const std::wstring& keptPath, bool) {
    early_.erase(entry.fileName);
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
