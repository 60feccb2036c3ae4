#include "output/UploadAddress.h"

#include <gtest/gtest.h>

#include <string>

using namespace UploadAddress;

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

TEST(UploadAddressTest, RemoteFolderBeginsAndEndsWithASlash) {
    EXPECT_EQ(normalizeRemoteFolder(L""), L"/");
    EXPECT_EQ(normalizeRemoteFolder(L"shots"), L"/shots/");
    EXPECT_EQ(normalizeRemoteFolder(L"/shots/"), L"/shots/");
    EXPECT_EQ(normalizeRemoteFolder(L"/"), L"/");
}

TEST(UploadAddressTest, RemoteFolderAcceptsABackSlashAsItsEnd) {
    EXPECT_EQ(normalizeRemoteFolder(L"shots\\"), L"/shots\\");
    EXPECT_EQ(normalizeRemoteFolder(L"a\\b"), L"/a\\b/");
}

// One reading of the server field for uploads, trial connections and the folder browser: the
// port is used, the path is not, and a bad port is no server at all.
TEST(UploadAddressTest, TheServerFieldGivesHostAndPort) {
    struct Case {
        const wchar_t* text;
        const wchar_t* host;
        std::uint16_t port;
    };
    for (const Case& c :
         {Case{L"host", L"host", 21}, Case{L"FTP://host", L"host", 21},
          Case{L"http://host", L"host", 21}, Case{L"127.0.0.3:2121", L"127.0.0.3", 2121},
          Case{L"ftp://host:02121/pub/x", L"host", 2121},
          Case{L"Ftp://[::1]:990", L"[::1]", 990}}) {
        const std::optional<stFtpServer> server = ftpServer(c.text);
        ASSERT_TRUE(server) << c.text;
        EXPECT_EQ(server->host, c.host);
        EXPECT_EQ(server->port, c.port);
    }
    for (const wchar_t* text : {L"", L"ftp://", L"HTTP://", L"host:0", L"host:65536", L"host:21x",
                                L"host:", L"gopher://host", L"[::1"})
        EXPECT_FALSE(ftpServer(text)) << text;
    EXPECT_TRUE(ftpServer(std::wstring(511, L'h')));
    EXPECT_FALSE(ftpServer(std::wstring(512, L'h')));
}

struct BaseCase {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(UploadAddressTest, BaseAddressGetsAUsableSchemeAndNoClosingSlash) {
    const BaseCase cases[] = {
        {L"host/shots/", L"http://host/shots"},
        {L"HTTP://host/", L"HTTP://host"},
        {L"https://host/x", L"http://host/x"},
        {L"http:/host", L"http://host"},
        {L"http//host", L"http://host"},
        {L"ftp:/host/pub", L"ftp://host/pub"},
        {L"ftp.host", L"http://ftp.host"},
        {L"http:\\\\host\\", L"http:\\\\host"},
        {L"abcde", L"http://abcde"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalizeBaseAddress(c.input), c.expected) << narrow(c.input);
}

TEST(UploadAddressTest, BaseAddressWithAGoodSchemeStaysAsItIs) {
    EXPECT_EQ(normalizeBaseAddress(L""), L"");
    EXPECT_EQ(normalizeBaseAddress(L"http://host/shots"), L"http://host/shots");
    EXPECT_EQ(normalizeBaseAddress(L"ftp://host/pub/"), L"ftp://host/pub");
    EXPECT_EQ(normalizeBaseAddress(L"FTP:\\\\host"), L"FTP:\\\\host");
}

TEST(UploadAddressTest, BaseAddressOfSixCharactersWithoutSchemeGetsHttp) {
    EXPECT_EQ(normalizeBaseAddress(L"abcdef"), L"http://abcdef");
    EXPECT_EQ(normalizeBaseAddress(L"a.b/c/"), L"http://a.b/c");
    // Six characters that are a scheme stay.
    EXPECT_EQ(normalizeBaseAddress(L"ftp://"), L"ftp:/");
}

TEST(UploadAddressTest, BaseAddressWithOneBackSlashAfterTheSchemeIsRepaired) {
    EXPECT_EQ(normalizeBaseAddress(L"http:\\host"), L"http://host");
    EXPECT_EQ(normalizeBaseAddress(L"HTTP:\\host\\shots\\"), L"http://host\\shots");
    EXPECT_EQ(normalizeBaseAddress(L"ftp:\\host/pub"), L"ftp://host/pub");
}

TEST(UploadAddressTest, MangledSchemeWithoutAnyRestStaysAndGetsHttp) {
    // "http:" has nothing after its separators to rebuild from.
    EXPECT_EQ(normalizeBaseAddress(L"http:"), L"http://http:");
    // Without ":" or "/" the whole text is the host.
    EXPECT_EQ(normalizeBaseAddress(L"ftphost"), L"ftp://ftphost");
}

TEST(UploadAddressTest, PublicAddressUnderTheBaseAddress) {
    EXPECT_EQ(publicAddress(L"http://host/shots", L"ftp.host", L"/up/", L"07_12_26_21_30_05.png"),
              L"http://host/shots/07_12_26_21_30_05.png");
}

TEST(UploadAddressTest, PublicAddressFromTheServerWithoutBaseAddress) {
    EXPECT_EQ(publicAddress(L"", L"ftp.host", L"/shots/", L"07_12_26_21_30_05.png"),
              L"http://host/shots/07_12_26_21_30_05.png");
    EXPECT_EQ(publicAddress(L"", L"FTP.host", L"/", L"a.bmp"), L"http://host/a.bmp");
    EXPECT_EQ(publicAddress(L"", L"127.0.0.10", L"/", L"a.jpg"), L"http://127.0.0.10/a.jpg");
}

TEST(UploadAddressTest, RemotePathIsFolderAndFileName) {
    EXPECT_EQ(remotePath(normalizeRemoteFolder(L"shots"), L"a.png"), L"/shots/a.png");
    EXPECT_EQ(remotePath(normalizeRemoteFolder(L""), L"a.png"), L"/a.png");
}

} // namespace
