#include "base/ComPtr.h"
#include "base/Handles.h"

#include <gtest/gtest.h>

namespace {
bool IsLive(HGDIOBJ object) { return ::GetObjectType(object) != 0; }
} // namespace

TEST(Handles, OwnerDeletesItsObjectOnceAndMovesWithoutDeleting)
{
    HBITMAP raw = ::CreateBitmap(4, 4, 1, 32, nullptr);
    ASSERT_TRUE(IsLive(raw));
    {
        base::UniqueBitmap first(raw);
        base::UniqueBitmap second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        EXPECT_TRUE(IsLive(raw));
        base::UniqueBitmap third;
        third = std::move(second);
        EXPECT_TRUE(IsLive(raw));
    }
    EXPECT_FALSE(IsLive(raw));
}

TEST(Handles, ResetDeletesTheOldObjectAndReleaseGivesItAway)
{
    HBRUSH a = ::CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH b = ::CreateSolidBrush(RGB(4, 5, 6));
    base::UniqueBrush brush(a);
    brush.reset(b);
    EXPECT_FALSE(IsLive(a));
    HBRUSH released = brush.release();
    EXPECT_EQ(released, b);
    EXPECT_FALSE(brush);
    EXPECT_TRUE(IsLive(b));
    ::DeleteObject(b);
}

TEST(Handles, FileOwnerTreatsInvalidHandleValueAsEmpty)
{
    base::UniqueFileHandle none(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(none);
    base::UniqueFileHandle nul(::CreateFileW(L"NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(nul);
}

TEST(Handles, SelectGuardPutsThePreviousObjectBack)
{
    base::UniqueMemoryDc dc = base::CreateMemoryDc();
    ASSERT_TRUE(dc);
    HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
    base::UniqueBitmap bitmap(::CreateBitmap(2, 2, 1, 1, nullptr));
    {
        base::SelectGuard guard(dc.get(), bitmap.get());
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), original);
}

namespace {
struct CountingUnknown : IUnknown {
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = this;
        ++refs;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};
} // namespace

TEST(Handles, ComPtrReleasesExactlyTheReferencesItHolds)
{
    CountingUnknown object;
    {
        auto ptr = base::ComPtr<IUnknown>::Attach(&object);
        auto moved = std::move(ptr);
        EXPECT_EQ(object.refs, 1u);
        auto other = moved.query<IUnknown>(IID_IUnknown);
        EXPECT_EQ(object.refs, 2u);
    }
    EXPECT_EQ(object.refs, 0u);
}
