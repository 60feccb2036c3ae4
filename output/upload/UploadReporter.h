#pragma once

#include "output/IFrameOutputUpdate.h"
#include "output/upload/AddressDelivery.h"
#include "output/upload/UploadHistory.h"
#include "output/upload/UploadRunner.h"

#include <map>
#include <optional>
#include <string>

// What the user hears and gets of each upload, on the GUI thread: a finished upload's address is
// recorded in the history, opened and copied as the switches say, and told in a balloon that
// carries it; a failed attempt is told once, with where the image is kept.
class UploadReporter : public IUploadOutcomes {
public:
    // The switches that say what becomes of an address; read when an upload ends.
    struct Switches {
        bool copyUrl = true;
        bool openBrowser = true;
    };

    UploadReporter(const Switches& switches, UploadHistory& history);

    // Where the balloons go (not owned; null: nowhere).
    void setReceiver(IFrameOutputUpdate* receiver) noexcept { receiver_ = receiver; }
    void setClipboardRetryTime(DWORD retryMs) noexcept { delivery_.setRetryTime(retryMs); }

    // The address goes to the clipboard now; the balloon waits for the upload to end.
    void transferred(const stFrameEntry& entry, const std::wstring& address) override;
    void uploaded(const stFrameEntry& entry, const std::wstring& address,
                  const stSendTarget& target) override;
    void failed(const stFrameEntry& entry, const std::wstring& text, const std::wstring& keptPath,
                bool retrying) override;
    // A capture queued while no target can take it.
    void noTarget(const std::wstring& keptPath, IFrameOutputUpdate* update);
    // Copies an address of the history again; a clipboard that stays held is told.
    void copyAgain(const std::wstring& address);

    // The line that names where a capture not yet uploaded is kept.
    static std::wstring keptLine(const std::wstring& keptPath);

private:
    // A copy made when the transfer closed, by the file's name: its result until the upload's
    // end is told, or what tells that end once the copy is done.
    struct EarlyCopy {
        std::optional<bool> copied;
        AddressDelivery::CopyDone tell;
    };

    void notify(bool ok, const std::wstring& title, const std::wstring& text);

    const Switches& switches_;
    UploadHistory& history_;
    AddressDelivery delivery_;
    IFrameOutputUpdate* receiver_ = nullptr;
    std::map<std::wstring, EarlyCopy> early_;
};
