#include "platform/FtpDirectoryEnumerator.h"
#include "platform/InternetException.h"
#include "platform/InternetSession.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <map>

// Against the pyftpdlib server of the "platform" fixture (account tester / secret).
namespace {

class FtpTest : public ::testing::Test {
protected:
    std::wstring address = TestEnvironment::ftpAddress(L"platform");
    std::wstring root = TestEnvironment::ftpRoot(L"platform");
    InternetSession session{L"Pixlance"};

    FtpConnection connect(const std::wstring& password = L"secret") {
        return session.connectFtp(address, L"tester", password);
    }
    std::string patterned(std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        return bytes;
    }
};

TEST_F(FtpTest, WritesAFileInActiveModeThatArrivesWhole) {
    FtpConnection connection = connect();
    const std::string content = patterned(1500000);
    FtpFile file = connection.openFile(L"/upload.bin", GENERIC_WRITE, 5);
    // Small writes are gathered; a large one goes through as it is.
    std::size_t offset = 0;
    for (; offset < 100000; offset += 1000)
        file.write(content.data() + offset, 1000);
    file.write(content.data() + offset, content.size() - offset);
    EXPECT_EQ(file.position(), content.size());
    file.close();
    connection.close();
    EXPECT_EQ(TestEnvironment::readFileBytes(root + L"\\upload.bin"), content);
}

DWORD timeoutOf(HINTERNET handle, DWORD option) {
    DWORD value = 0;
    DWORD size = sizeof value;
    return ::InternetQueryOptionW(handle, option, &value, &size) ? value : 0;
}

// The session's timeouts reach WinInet (Wine keeps only the session's connect timeout, and none
// on FTP handles, which is why uploads watch their own progress). A SIZE command answers with
// the size the server holds, a refusal as a reply too.
TEST_F(FtpTest, TheSessionsTimeoutReachesWinInetAndCommandsGiveTheReply) {
    InternetSession bounded(L"Pixlance", 1, 7000);
    EXPECT_EQ(timeoutOf(bounded.handle(), INTERNET_OPTION_CONNECT_TIMEOUT), 7000u);
    FtpConnection connection = bounded.connectFtp(address, L"tester", L"secret");
    FtpFile file = connection.openFile(L"/bounded.bin", GENERIC_WRITE, 6);
    file.write("0123456789", 10);
    file.close();
    EXPECT_EQ(connection.command(L"SIZE /bounded.bin"), L"213 10");
    EXPECT_EQ(connection.command(L"SIZE /missing.bin").substr(0, 4), L"550 ");
}

TEST_F(FtpTest, FtpFileOnlySeeksToWhereItIs) {
    FtpConnection connection = connect();
    FtpFile file = connection.openFile(L"/seek.bin");
    EXPECT_FALSE(file.canSeek());
    EXPECT_EQ(file.seek(0, SeekOrigin::Begin), 0u);
    file.write("abc", 3);
    EXPECT_EQ(file.seek(0, SeekOrigin::Current), 3u);
    EXPECT_THROW(file.seek(0, SeekOrigin::Begin), InternetException);
    EXPECT_THROW(file.seek(-1, SeekOrigin::End), InternetException);
    file.close();
    EXPECT_EQ(TestEnvironment::readFileBytes(root + L"\\seek.bin"), "abc");
}

TEST_F(FtpTest, ListsFilesAndFolders) {
    ::CreateDirectoryW((root + L"\\listed").c_str(), nullptr);
    TestEnvironment::writeFileBytes(root + L"\\listed\\a.png", std::string(1234, 'a'));
    ::CreateDirectoryW((root + L"\\listed\\sub").c_str(), nullptr);

    FtpConnection connection = connect();
    connection.setCurrentDirectory(L"/listed");
    EXPECT_EQ(connection.currentDirectory(), L"/listed");
    FtpDirectoryEnumerator listing(connection);
    std::map<std::wstring, std::pair<bool, std::uint64_t>> seen;
    for (bool more = listing.findFirst(L"*"); more; more = listing.findNext())
        if (!listing.isDots())
            seen[listing.fileName()] = {listing.isDirectory(), listing.size()};
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[L"a.png"], std::make_pair(false, std::uint64_t{1234}));
    EXPECT_TRUE(seen[L"sub"].first);
}

TEST_F(FtpTest, EmptyFolderListsNothing) {
    ::CreateDirectoryW((root + L"\\empty").c_str(), nullptr);
    FtpConnection connection = connect();
    connection.setCurrentDirectory(L"/empty");
    FtpDirectoryEnumerator listing(connection);
    bool any = false;
    for (bool more = listing.findFirst(L"*"); more; more = listing.findNext())
        any = any || !listing.isDots();
    EXPECT_FALSE(any);
}

// Wine's WinInet reports a refused login as 12015 (ERROR_INTERNET_LOGIN_FAILURE).
TEST_F(FtpTest, WrongPasswordRaisesTheLoginFailure) {
    try {
        connect(L"wrong");
        FAIL() << "logged in with a wrong password";
    } catch (const InternetException& error) {
        EXPECT_EQ(error.errorCode(), static_cast<DWORD>(ERROR_INTERNET_LOGIN_FAILURE));
        EXPECT_FALSE(error.message().empty());
    }
}

// Storing into a missing folder: 12003 with the server's "550" reply as the message.
TEST_F(FtpTest, MissingFolderRaisesTheExtendedErrorWithTheServersReply) {
    FtpConnection connection = connect();
    try {
        connection.openFile(L"/no-such-folder/x.png");
        FAIL() << "opened a file in a missing folder";
    } catch (const InternetException& error) {
        EXPECT_EQ(error.errorCode(), static_cast<DWORD>(ERROR_INTERNET_EXTENDED_ERROR));
        EXPECT_EQ(error.message().rfind(L"550 ", 0), 0u)
            << std::string(error.message().begin(), error.message().end());
    }
}

TEST_F(FtpTest, MissingFolderInSetCurrentDirectoryRaises) {
    FtpConnection connection = connect();
    try {
        connection.setCurrentDirectory(L"/not-there");
        FAIL() << "changed into a missing folder";
    } catch (const InternetException& error) {
        EXPECT_EQ(error.errorCode(), static_cast<DWORD>(ERROR_INTERNET_EXTENDED_ERROR));
        EXPECT_NE(error.message().find(L"550"), std::wstring::npos);
    }
}

// Nothing listens on this address: 12029 (ERROR_INTERNET_CANNOT_CONNECT).
TEST_F(FtpTest, RefusedConnectionRaisesCannotConnect) {
    try {
        session.connectFtp(L"127.0.0.254", L"tester", L"secret");
        FAIL() << "connected where no server listens";
    } catch (const InternetException& error) {
        EXPECT_EQ(error.errorCode(), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
    }
}

} // namespace
