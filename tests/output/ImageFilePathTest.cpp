#include "output/ImageFilePath.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageFilePathTest, FolderWithOrWithoutTrailingBackslash) {
    EXPECT_EQ(imageFilePath(L"C:\\Shots\\", L"01_02_24_10_20_30", 0),
              L"C:\\Shots\\01_02_24_10_20_30.png");
    EXPECT_EQ(imageFilePath(L"C:\\Shots", L"01_02_24_10_20_30", 1),
              L"C:\\Shots\\01_02_24_10_20_30.jpg");
    EXPECT_EQ(imageFilePath(L"C:\\Shots", L"01_02_24_10_20_30", 2),
              L"C:\\Shots\\01_02_24_10_20_30.bmp");
    EXPECT_EQ(imageFilePath(L"C:\\Shots", L"01_02_24_10_20_30", 7),
              L"C:\\Shots\\01_02_24_10_20_30.bmp");
}

TEST(ImageFilePathTest, EmptyFolderMeansTheRootOfTheCurrentDrive) {
    EXPECT_EQ(imageFilePath(L"", L"05_06_24_01_02_03", 0), L"\\05_06_24_01_02_03.png");
}

} // namespace
