// One bitmap shown by many entries: it lives while any of them does, goes
// with the last, and a picture handed in again is not lost.

#include "grouplist/ListFixture.h"

#include "base/Handles.h"

#include <gtest/gtest.h>

#include <vector>

using testing_support::ListFixture;

TEST_F(ListFixture, ASharedPictureLivesUntilItsLastEntryGoes)
{
    const int group = m_control.AddGroup(L"g", true);
    std::vector<int> entries;
    for (int i = 0; i < 3; ++i)
        entries.push_back(AddEntry(group, L"e" + std::to_wstring(i)));
    const base::WindowDc screen(nullptr);
    HBITMAP shared = ::CreateCompatibleBitmap(screen.get(), 32, 32);
    ASSERT_NE(shared, nullptr);

    for (const int entry : entries)
        ASSERT_EQ(m_control.SetEntryPicture(entry, shared), 1);
    EXPECT_EQ(m_control.SetEntryPicture(entries[0], shared), 1) << "the same picture again";
    EXPECT_EQ(m_control.SetEntryPicture(group, shared), 0) << "groups have no picture";
    grouplist::GroupedListControl::ReleasePicture(shared); // the caller's own share
    EXPECT_EQ(m_control.ReadItem(entries[1])->avatarWidth, 32);

    // Each entry owned its share: two going leave the bitmap to the third.
    ASSERT_EQ(m_control.DeleteEntry(entries[0]), 1);
    ASSERT_EQ(m_control.DeleteEntry(entries[1]), 1);
    EXPECT_EQ(::GetObjectType(shared), static_cast<DWORD>(OBJ_BITMAP));
    // Offline, the last one gets a grey twin of its own, which goes with it too.
    ASSERT_EQ(m_control.SetEntryOffline(entries[2]), 1);
    HBITMAP grey = m_control.ReadItem(entries[2])->greyPicture;
    ASSERT_NE(grey, nullptr);
    ASSERT_EQ(m_control.DeleteEntry(entries[2]), 1);
    EXPECT_EQ(::GetObjectType(shared), 0u);
    EXPECT_EQ(::GetObjectType(grey), 0u);
}
