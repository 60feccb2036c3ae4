#include "platform/Handles.h"
#include "platform/ComPtr.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> closed;

struct CountingTraits {
    using handle_type = int;
    static int empty() noexcept { return 0; }
    static void close(int h) noexcept { closed.push_back(h); }
};
using CountingHandle = UniqueResource<CountingTraits>;

class UniqueResourceTest : public ::testing::Test {
protected:
    void SetUp() override { closed.clear(); }
};

TEST_F(UniqueResourceTest, MovedHandleIsClosedOnceByItsLastOwner) {
    {
        CountingHandle first(7);
        CountingHandle second(std::move(first));
        CountingHandle third;
        third = std::move(second);
        EXPECT_FALSE(first);
        EXPECT_FALSE(second);
        EXPECT_EQ(third.get(), 7);
    }
    EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueResourceTest, AssigningOverAHandleClosesTheOldOne) {
    CountingHandle a(1);
    CountingHandle b(2);
    a = std::move(b);
    EXPECT_EQ(closed, std::vector<int>{1});
    a.reset();
    EXPECT_EQ(closed, (std::vector<int>{1, 2}));
    a.reset();
    EXPECT_EQ(closed.size(), 2u);
}

TEST_F(UniqueResourceTest, ReleasedHandleIsNotClosed) {
    {
        CountingHandle a(3);
        EXPECT_EQ(a.release(), 3);
    }
    EXPECT_TRUE(closed.empty());
}

TEST(FileHandleTest, InvalidHandleValueCountsAsEmpty) {
    UniqueFileHandle handle(::CreateFileW(L"Z:\\no\\such\\folder\\file", GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(handle);
}

TEST(ScopedSelectObjectTest, RestoresThePreviousObjectIntoTheSameDC) {
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
    UniqueBitmap first(::CreateCompatibleBitmap(dc.get(), 4, 4));
    UniqueBitmap second(::CreateCompatibleBitmap(dc.get(), 4, 4));
    {
        ScopedSelectObject outer(dc.get(), first.get());
        EXPECT_TRUE(outer.selected());
        {
            ScopedSelectObject inner(dc.get(), second.get());
            EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), second.get());
        }
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), first.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), original);
    // Once deselected, the bitmaps can be deleted.
    EXPECT_TRUE(::DeleteObject(first.release()));
    EXPECT_TRUE(::DeleteObject(second.release()));
}

TEST(ScopedSelectObjectTest, FailedSelectionRestoresNothing) {
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
    {
        ScopedSelectObject selection(dc.get(), nullptr);
        EXPECT_FALSE(selection.selected());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), original);
}

TEST(WindowDCTest, ReleasesAgainstItsOwnWindowAfterMove) {
    WindowDC screen = WindowDC::ofWindow(::GetDesktopWindow());
    ASSERT_TRUE(screen);
    WindowDC moved(std::move(screen));
    EXPECT_FALSE(screen);
    EXPECT_EQ(moved.window(), ::GetDesktopWindow());
    EXPECT_GT(::GetDeviceCaps(moved.get(), HORZRES), 0);
}

TEST(ComPtrTest, ReleasesItsReferenceOnce) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IStream* raw = nullptr;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, &raw), S_OK);
    raw->AddRef(); // our own reference, to watch the count
    {
        ComPtr<IStream> stream;
        *stream.put() = raw;
        ComPtr<IStream> copy = stream;
        ComPtr<IUnknown> unknown = stream.query<IUnknown>();
        EXPECT_TRUE(unknown);
    }
    EXPECT_EQ(raw->Release(), 0u);
    ::CoUninitialize();
}

} // namespace
