#pragma once

#include "output/IFrameOutputUpdate.h"

#include <windows.h>

#include <mutex>
#include <string>

// Passes one upload's reports on to the receiver that put was given, until the output detaches it
// when it stops: a report that comes later goes nowhere, so a worker that outlives the receiver
// never calls into it. Shared by the worker and the output; safe from any thread.
class StatusRelay : public IFrameOutputUpdate {
public:
    explicit StatusRelay(IFrameOutputUpdate* receiver) noexcept : receiver_(receiver) {}

    // To the receiver (none: nowhere) until detached; after that nowhere, and notify answers false.
    bool notify(bool ok, const std::wstring& title, const std::wstring& text) override;
    void progress(const std::wstring& title, const std::wstring& text) override;

    // No report starts after this.
    void detach() noexcept;
    // Waits up to timeoutMs for the reports already under way to return, taking the messages
    // sent to this thread meanwhile (a receiver may be waiting for it). Returns whether they have.
    bool waitForReports(DWORD timeoutMs);

private:
    // Calls report(receiver), counted as under way meanwhile; true without a receiver, false once
    // detached.
    template <typename Report> bool relay(Report report);

    std::mutex lock_;
    IFrameOutputUpdate* receiver_;
    bool detached_ = false;
    int reportsUnderWay_ = 0;
};
