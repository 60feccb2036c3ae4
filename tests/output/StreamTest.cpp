#include "output/cStream.h"
#include "support/MemoryFile.h"

#include <gtest/gtest.h>

namespace {

LARGE_INTEGER move(std::int64_t offset) {
    LARGE_INTEGER value;
    value.QuadPart = offset;
    return value;
}

// IClassFactory {00000001-0000-0000-C000-000000000046}: one of the identifiers it must refuse.
const IID kClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

TEST(StreamTest, AnswersForUnknownSequentialStreamAndStreamOnly) {
    MemoryFile file;
    cStream stream(&file);
    for (const IID* id : {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream}) {
        void* object = nullptr;
        EXPECT_EQ(stream.QueryInterface(*id, &object), S_OK);
        EXPECT_EQ(object, static_cast<IStream*>(&stream));
    }
    void* object = &file;
    EXPECT_EQ(stream.QueryInterface(kClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(stream.QueryInterface(IID_IPersist, &object), E_NOINTERFACE);
}

TEST(StreamTest, WritesGoToTheFile) {
    MemoryFile file;
    cStream stream(&file);
    ULONG written = 99;
    EXPECT_EQ(stream.Write("hello", 5, &written), S_OK);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(stream.Write(" world", 6, nullptr), S_OK);
    EXPECT_EQ(file.bytes(), "hello world");
    EXPECT_FALSE(stream.writeFailed());
}

TEST(StreamTest, FailingWriteGivesEFailAndNothingWritten) {
    MemoryFile file(true, 8);
    cStream stream(&file);
    ULONG written = 99;
    EXPECT_EQ(stream.Write("12345", 5, &written), S_OK);
    EXPECT_FALSE(stream.writeFailed());
    EXPECT_EQ(stream.Write("67890", 5, &written), E_FAIL);
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(stream.writeFailed());
    EXPECT_TRUE(file.failed());
}

TEST(StreamTest, SeekableFileMovesFromEachOrigin) {
    MemoryFile file;
    cStream stream(&file);
    ASSERT_EQ(stream.Write("0123456789", 10, nullptr), S_OK);
    ULARGE_INTEGER position{};
    EXPECT_EQ(stream.Seek(move(2), STREAM_SEEK_SET, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 2u);
    EXPECT_EQ(stream.Seek(move(3), STREAM_SEEK_CUR, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 5u);
    EXPECT_EQ(stream.Seek(move(-1), STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 9u);
    EXPECT_EQ(stream.Seek(move(4), STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(stream.Write("ab", 2, nullptr), S_OK);
    EXPECT_EQ(file.bytes(), "0123ab6789");
}

TEST(StreamTest, SeekableFileFailureGivesEFail) {
    MemoryFile file;
    cStream stream(&file);
    ULARGE_INTEGER position{};
    position.QuadPart = 77;
    EXPECT_EQ(stream.Seek(move(-1), STREAM_SEEK_SET, &position), E_FAIL);
    EXPECT_EQ(position.QuadPart, 77u);
}

TEST(StreamTest, UnknownOriginIsInvalid) {
    MemoryFile seekable;
    cStream stream(&seekable);
    EXPECT_EQ(stream.Seek(move(0), 3, nullptr), E_INVALIDARG);
    EXPECT_EQ(seekable.seekCalls(), 0);
}

TEST(StreamTest, ForwardOnlyFileAcceptsOnlyAMoveOfZeroFromTheBeginning) {
    MemoryFile upload(false);
    cStream stream(&upload);
    ULARGE_INTEGER position{};
    position.QuadPart = 77;
    EXPECT_EQ(stream.Seek(move(0), STREAM_SEEK_SET, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 0u);
    ASSERT_EQ(stream.Write("abc", 3, nullptr), S_OK);

    EXPECT_EQ(stream.Seek(move(0), STREAM_SEEK_CUR, &position), E_INVALIDARG);
    EXPECT_EQ(stream.Seek(move(0), STREAM_SEEK_END, &position), E_INVALIDARG);
    EXPECT_EQ(stream.Seek(move(3), STREAM_SEEK_SET, &position), E_INVALIDARG);
    EXPECT_EQ(stream.Seek(move(1), STREAM_SEEK_CUR, &position), E_INVALIDARG);
    EXPECT_EQ(stream.Seek(move(-3), STREAM_SEEK_END, &position), E_INVALIDARG);
    EXPECT_EQ(stream.Seek(move(0), 7, &position), E_INVALIDARG);
    EXPECT_EQ(stream.Seek(move(0), STREAM_SEEK_SET, nullptr), S_OK);
    // None of it reached the connection, and the data carries on where it was.
    EXPECT_EQ(upload.seekCalls(), 0);
    ASSERT_EQ(stream.Write("def", 3, nullptr), S_OK);
    EXPECT_EQ(upload.bytes(), "abcdef");
}

} // namespace
