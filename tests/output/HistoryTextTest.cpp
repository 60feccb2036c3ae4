#include "output/upload/HistoryText.h"
#include "HistoryLines.h"

#include <gtest/gtest.h>

#include <string>

using namespace HistoryText;

namespace {

TEST(HistoryTextTest, LineIsTheUtf8FieldsBetweenTabsEndingInCrLfAndNoFieldBreaksIt) {
    // The surrogate pair as its two units: natively wchar_t is wider than UTF-16.
    const std::wstring emoji{wchar_t(0xD83D), wchar_t(0xDE00)};
    const wchar_t lone = wchar_t(0xD800);
    const stHistoryEntry entry{L"2024-03-09 14:05:07", L"http://h\u00F6st/a\r\nb.png",
                               L"C:\\Zo\u00EB\\\u4E2D" + emoji + L"\tx" + lone + L".png",
                               L"ftp\thost\n"};
    EXPECT_EQ(line(entry), "2024-03-09 14:05:07\thttp://h\xC3\xB6st/a  b.png\t"
                           "C:\\Zo\xC3\xAB\\\xE4\xB8\xAD\xF0\x9F\x98\x80 x\xEF\xBF\xBD.png\t"
                           "ftp host \r\n");
}

TEST(HistoryTextTest, ParseKeepsWholeLinesInFileOrderAndSkipsDamagedOnesAndACutLastLine) {
    const std::string first = "2024-03-09 14:05:07\thttp://host/a.png\tC:\\Zo\xC3\xAB.png\tftp\r\n";
    const std::string second = "2024-12-31 23:59:59\thttp://host/b.jpg\t\t";
    std::string file = first;
    for (const char* damaged : {
             "\r\n",
             "2024-03-09 14:05:07\thttp://host/three-fields.png\tC:\\a.png\r\n",
             "2024-03-09 14:05:07\thttp://host/five.png\tC:\\a.png\tftp\textra\r\n",
             "2024-03-09 14:05:07\t\tC:\\no-address.png\tftp\r\n",
             "2024-13-09 14:05:07\thttp://host/month.png\t\tftp\r\n",
             "2024-03-00 14:05:07\thttp://host/day.png\t\tftp\r\n",
             "2024-03-09 24:05:07\thttp://host/hour.png\t\tftp\r\n",
             "2024-03-09T14:05:07\thttp://host/shape.png\t\tftp\r\n",
             "2024-3-09 14:05:07 \thttp://host/digits.png\t\tftp\r\n",
             "2024-03-09 14:05:07\thttp://host/cut-\xC3\t\tftp\r\n",
             "2024-03-09 14:05:07\thttp://host/overlong-\xC0\xAF.png\t\tftp\r\n",
             "2024-03-09 14:05:07\thttp://host/cr.png\t\tftp\r\r\n",
         })
        file += damaged;
    // Lines may end in a bare line feed. The last line is whole but for its line end: the
    // process was ended while writing it.
    file += second + "\n" + "2024-12-31 23:59:59\thttp://host/cut.png\tC:\\cut.png\tftp.ho";
    EXPECT_EQ(linesOf(parse(file)), first + second + "\r\n");
}

TEST(HistoryTextTest, TimeTextHasFixedWidthFields) {
    EXPECT_EQ(timeText(2024, 3, 9, 4, 5, 7), L"2024-03-09 04:05:07");
    EXPECT_EQ(timeText(987, 12, 31, 23, 59, 59), L"0987-12-31 23:59:59");
}

TEST(HistoryTextTest, FileNamePartIsTheTextAfterTheLastSlashOrBackslash) {
    EXPECT_EQ(fileNamePart(L"http://host/shots/09_03_24.png"), L"09_03_24.png");
    EXPECT_EQ(fileNamePart(L"http:\\\\host\\shots/c.png"), L"c.png");
    EXPECT_EQ(fileNamePart(L"ftp://host/shots\\Zo\u00EB d.png"), L"Zo\u00EB d.png");
    EXPECT_EQ(fileNamePart(L"plain.png"), L"plain.png");
}

} // namespace
