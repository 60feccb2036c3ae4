#pragma once

#include <string>

// The status channel from writers and outputs to the user. Upload workers call it concurrently
// with the GUI thread, so implementations must be safe for concurrent calls.
class IFrameOutputUpdate {
public:
    // The outcome of one step: ok true is a success, false a failure. Returns whether the receiver
    // still wants messages; no sender acts on it.
    virtual bool notify(bool ok, const std::wstring& title, const std::wstring& text) = 0;
    // An intermediate step.
    virtual void progress(const std::wstring& title, const std::wstring& text) = 0;

protected:
    ~IFrameOutputUpdate() = default;
};
