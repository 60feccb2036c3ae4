#include "UploadTesting.h"

#include "support/PaintedWindow.h"
#include "support/ServerLog.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace UploadTesting;

namespace {

class WarmConnectionTest : public UploadFixture {
protected:
    explicit WarmConnectionTest(const wchar_t* fixture = L"warm") : UploadFixture(fixture) {}

    // A capture as the dispatch makes it: announced, then put, then its outcome.
    void captureAndUpload(const std::wstring& name) {
        FramePtr frame = namedFrame(name, 800, 500);
        const std::string expected = encodedOnDisk(*frame, 2);
        update.clear();
        output.expectCapture();
        put(frame, 2);
        ASSERT_TRUE(waitForOutcomes(1));
        EXPECT_EQ(update.messages(),
                  (std::vector<RecordedMessage>{
                      kUploading, uploadedAs(L"http://" + address + L"/shots/" + name + L".bmp")}));
        EXPECT_TRUE(uploaded(L"shots\\" + name + L".bmp") == expected) << narrow(name);
    }

    static std::string narrow(const std::wstring& text) {
        return std::string(text.begin(), text.end());
    }
};

// Three captures a moment apart: one connection, one login, three files.
TEST_F(WarmConnectionTest, ABurstOfThreeUploadsLogsInOnce) {
    const ServerLog log(root);
    for (const wchar_t* name : {L"burst_1", L"burst_2", L"burst_3"}) {
        captureAndUpload(name);
        pumpMessagesFor(200);
    }
    EXPECT_EQ(log.count("command STOR"), 3);
    EXPECT_EQ(log.count("connected"), 1);
    EXPECT_EQ(log.count("command USER tester"), 1);
    EXPECT_EQ(log.count("disconnected"), 0);
}

// The connection is closed at once when the preferences change the target, not only when it
// expires; the upload after it logs in anew to the new folder.
TEST_F(WarmConnectionTest, ChangingTheTargetClosesTheIdleConnection) {
    const ServerLog log(root);
    captureAndUpload(L"before_change");
    // Kept while nothing changes.
    pumpMessagesFor(1500);
    ASSERT_EQ(log.count("disconnected"), 0);
    ::CreateDirectoryW((root + L"\\moved").c_str(), nullptr);
    output.setTarget(address, L"tester", L"secret", L"moved", true);
    EXPECT_TRUE(log.waitFor("disconnected", 1, 5000));

    FramePtr frame = namedFrame(L"after_change");
    update.clear();
    put(frame, 0);
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_TRUE(uploaded(L"moved\\after_change.png") == encodedOnDisk(*frame, 0));
    EXPECT_EQ(log.count("command USER tester"), 2);
}

// The server hangs up the idle connection after a second; the next upload finds it dead, says
// nothing of it, and arrives over a new login.
class IdleDropTest : public WarmConnectionTest {
protected:
    IdleDropTest() : WarmConnectionTest(L"warm_idle") {}
};

TEST_F(IdleDropTest, AServerThatDropsTheIdleConnectionStillReceivesTheNextUpload) {
    const ServerLog log(root);
    captureAndUpload(L"before_drop");
    ASSERT_TRUE(log.waitFor("disconnected", 1, 10000));
    // The client has not noticed: the connection is still the one kept.
    pumpMessagesFor(300);
    captureAndUpload(L"after_drop");
    EXPECT_EQ(log.count("command STOR"), 2);
    EXPECT_EQ(output.unsentCount(), 0u);
}

} // namespace
