#include "output/upload/StatusRelay.h"
#include "support/RecordingUpdate.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

namespace {

// A receiver whose notify blocks until released, as one waiting for a busy GUI thread does.
class BlockingReceiver : public RecordingUpdate {
public:
    BlockingReceiver()
        : entered_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          released_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~BlockingReceiver() {
        ::CloseHandle(entered_);
        ::CloseHandle(released_);
    }
    bool notify(bool ok, const std::wstring& title, const std::wstring& text) override {
        ::SetEvent(entered_);
        ::WaitForSingleObject(released_, 10000);
        RecordingUpdate::notify(ok, title, text);
        returned = true;
        return true;
    }
    bool waitUntilEntered() const {
        return ::WaitForSingleObject(entered_, 10000) == WAIT_OBJECT_0;
    }
    void release() { ::SetEvent(released_); }

    std::atomic<bool> returned{false};

private:
    HANDLE entered_;
    HANDLE released_;
};

TEST(StatusRelayTest, ReportsReachTheReceiverUntilDetachedAndNothingAfter) {
    RecordingUpdate receiver;
    StatusRelay relay(&receiver);
    relay.progress(L"Image saved", L"Uploading to ftp");
    EXPECT_TRUE(relay.notify(false, L"Upload failed", L"first"));
    relay.detach();
    EXPECT_FALSE(relay.notify(true, L"Upload successfull", L""));
    relay.progress(L"late", L"late");
    EXPECT_EQ(receiver.messages(),
              (std::vector<RecordedMessage>{
                  RecordedMessage::progress(L"Image saved", L"Uploading to ftp"),
                  RecordedMessage::notify(false, L"Upload failed", L"first")}));
    EXPECT_TRUE(relay.waitForReports(0));
}

TEST(StatusRelayTest, AReportUnderWayAtTheDetachIsWaitedForWithinTheBound) {
    BlockingReceiver receiver;
    StatusRelay relay(&receiver);
    std::thread worker([&] { relay.notify(false, L"Upload failed", L"under way"); });
    ASSERT_TRUE(receiver.waitUntilEntered());
    relay.detach();

    // Not over yet: the wait gives up at its bound.
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(relay.waitForReports(200));
    EXPECT_GE(::GetTickCount64() - start, 190u);
    EXPECT_FALSE(receiver.returned);

    std::thread releaser([&] {
        ::Sleep(200);
        receiver.release();
    });
    EXPECT_TRUE(relay.waitForReports(10000));
    // The receiver may go now: its report has returned.
    EXPECT_TRUE(receiver.returned);
    worker.join();
    releaser.join();
    EXPECT_EQ(receiver.count(), 1u);
}

} // namespace
