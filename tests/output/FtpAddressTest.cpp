#include "output/FtpAddress.h"

#include <gtest/gtest.h>

using namespace FtpAddress;

namespace {

TEST(FtpAddressTest, ReadsServiceUserHostPortAndPath) {
    const std::optional<Parts> parts = parse(L"FTP://me:p@ss:w@files.example:0021/pub/x");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->service, Service::Ftp);
    EXPECT_EQ(parts->user + L"|" + parts->password + L"|" + parts->host,
              L"me|p@ss:w|files.example");
    EXPECT_EQ(parts->port, 21);
    EXPECT_EQ(parts->object, L"/pub/x");
    EXPECT_EQ(format(*parts), L"FTP://me:p@ss:w@files.example:21/pub/x");

    EXPECT_EQ(parse(L"ftp://[::1]:7")->host, L"[::1]");
    EXPECT_EQ(parse(L"HTTPS://h")->port, 443);
    EXPECT_EQ(parse(L"http://h")->service, Service::Http);
    EXPECT_EQ(parse(L"svn+ssh://h")->service, Service::Unknown);
}

// A server field without a scheme is a host for FTP; what fails even so is no address at all.
TEST(FtpAddressTest, AServerWithoutSchemeIsAnFtpHost) {
    for (const wchar_t* text : {L"", L"files.example", L"files.example:21/pub", L"ftp:/host"})
        EXPECT_FALSE(parse(text)) << text;
    const std::optional<Parts> bare = parseServer(L"files.example:99/pub");
    ASSERT_TRUE(bare);
    EXPECT_EQ(format(*bare), L"ftp://files.example:99/pub");
    for (const wchar_t* text : {L"host:0", L"host:65536", L"host:21x", L"[::1", L"[::1]x"})
        EXPECT_FALSE(parseServer(text)) << text;
}

} // namespace
