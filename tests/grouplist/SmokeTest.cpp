#include "grouplist/ListFixture.h"
using testing_support::ListFixture;
class Smoke : public ListFixture {};
TEST_F(Smoke, Basics)
{
    const int a = m_control.AddGroup(L"A", true);
    const int b = m_control.AddGroup(L"B");
    ASSERT_GT(a, 10000);
    EXPECT_EQ(b, a + 1);
    const int e = AddEntry(a, L" one");
    ASSERT_NE(e, 0);
    EXPECT_EQ(Rows(), (std::vector<int>{a, e, b}));
    EXPECT_EQ(RowIndexOf(b), 2);
    EXPECT_EQ(RowHeight(1), 54);
    const int f = AddEntry(b, L" two");
    EXPECT_EQ(RowIndexOf(f), -1);
    EXPECT_EQ(m_control.ExpandGroup(b), 1);
    EXPECT_EQ(Rows(), (std::vector<int>{a, e, b, f}));
    EXPECT_EQ(m_control.FindEntryByName(L" two"), f);
    EXPECT_EQ(m_control.FindEntryByName(L"two"), 0);
    m_control.CollapseAllGroups();
    EXPECT_EQ(Rows(), (std::vector<int>{a, b}));
    EXPECT_EQ(m_control.DeleteGroup(), 1);
    EXPECT_TRUE(Rows().empty());
}
