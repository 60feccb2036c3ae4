// The real Pixlance.exe against the upload service as it is deployed (deploy/upload-service:
// vsftpd with the built-in account as a store-only virtual user, lighttpd serving its folder).
#include "EndToEndFixture.h"

#include "output/upload/RemoteName.h"
#include "output/upload/UploadFolders.h"
#include "platform/Handles.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <string>
#include <vector>

using namespace EndToEnd;

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Every entry of a folder, files and folders alike.
std::vector<std::wstring> everythingIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

// The body the web server answers a GET of the address with, when its status is 200.
bool httpGet(const std::wstring& address, std::string& body) {
    UniqueInternetHandle session(
        ::InternetOpenW(L"Pixlance test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session)
        return false;
    UniqueInternetHandle request(::InternetOpenUrlW(
        session.get(), address.c_str(), nullptr, 0,
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0));
    if (!request)
        return false;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                          &size, nullptr) ||
        status != 200)
        return false;
    char piece[65536];
    DWORD got = 0;
    while (::InternetReadFile(request.get(), piece, sizeof piece, &got) && got > 0)
        body.append(piece, got);
    return true;
}

class ServiceEndToEndTest : public Fixture {};

// A full-screen capture lands in the service's folder under a time-stamped random name, as the
// only thing there; the web server hands it out byte for byte at the address the balloon shows.
TEST_F(ServiceEndToEndTest, ACaptureIsStoredAsTheOnlyFileAndServedByteForByte) {
    const std::wstring folder = TestEnvironment::ftpRoot(L"service_e2e");
    const std::wstring web = TestEnvironment::variable(L"PIXLANCE_SERVICE_URL_SERVICE_E2E");
    ASSERT_FALSE(web.empty());
    for (const std::wstring& name : everythingIn(folder))
        ::DeleteFileW((folder + L"\\" + name).c_str());
    writeSettings([](cBinSettingBag& bag) {
        bag.setBool(L"openBrowser", false);
        bag.setBool(L"copyUrl", false);
    });
    pointBuiltinTargetAt(TestEnvironment::ftpAddress(L"service_e2e"), web);
    auto program = start();
    shell.clear();

    pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload successfull"); }, 60000))
        << balloonLog();
    EXPECT_FALSE(balloonShown(L"Upload failed")) << balloonLog();

    const std::vector<std::wstring> stored = everythingIn(folder);
    ASSERT_EQ(stored.size(), 1u);
    const std::wstring name = stored[0];
    ASSERT_TRUE(RemoteName::hasRandomSuffix(name)) << narrow(name);
    const std::size_t suffix = name.size() - 4 - RemoteName::kSuffixLength - 1;
    EXPECT_TRUE(isTimeStampName(name.substr(0, suffix) + L".png", L".png")) << narrow(name);
    EXPECT_TRUE(balloonShown(L"Upload successfull", web + L"/" + name)) << balloonLog();

    const std::string image = TestEnvironment::readFileBytes(folder + L"\\" + name);
    ASSERT_GT(image.size(), 8u);
    EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::string served;
    ASSERT_TRUE(httpGet(web + L"/" + name, served));
    EXPECT_EQ(served.size(), image.size());
    EXPECT_TRUE(served == image);
    // Sent and confirmed: nothing is left to send.
    EXPECT_TRUE(TestEnvironment::filesIn(UploadFolders::unsent()).empty());
    ASSERT_TRUE(exitProgram(*program));
    EXPECT_EQ(everythingIn(folder), stored);
}

} // namespace
