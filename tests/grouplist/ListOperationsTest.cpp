#include "grouplist/ListFixture.h"

#include <string>
#include <utility>

namespace {

using grouplist::EntryInfo;
using testing_support::ListFixture;
using Handles = std::vector<int>;

constexpr int kUnknownHandle = 0x7FFF0000; // beyond any handle a test run makes

class ListOperations : public ListFixture {
protected:
    // An item's element (0: the root).
    base::ComPtr<IXMLDOMElement> Element(int handle) const
    {
        base::ComPtr<IXMLDOMNodeList> found;
        base::ComPtr<IXMLDOMNode> node;
        BSTR tag = ::SysAllocString(handle ? (L"Item" + std::to_wstring(handle)).c_str() : L"分组列表");
        m_control.Document()->getElementsByTagName(tag, found.put());
        ::SysFreeString(tag);
        if (found)
            found->get_item(0, node.put());
        return node.query<IXMLDOMElement>(IID_IXMLDOMElement);
    }

    // The handles of an item's child elements (0: the root's).
    Handles Children(int handle) const
    {
        base::ComPtr<IXMLDOMNode> node;
        if (const auto parent = Element(handle))
            parent->get_firstChild(node.put());
        Handles handles;
        for (base::ComPtr<IXMLDOMNode> next; node; node = std::move(next)) {
            BSTR name = nullptr;
            node->get_nodeName(&name);
            handles.push_back(_wtoi(name + 4)); // "Item<handle>"
            ::SysFreeString(name);
            node->get_nextSibling(next.put());
        }
        return handles;
    }

    // An element's attribute names in document order, one per line.
    std::wstring AttributeNames(int handle) const
    {
        base::ComPtr<IXMLDOMNamedNodeMap> attributes;
        if (const auto element = Element(handle))
            element->get_attributes(attributes.put());
        std::wstring names;
        long count = 0;
        if (attributes)
            attributes->get_length(&count);
        for (long i = 0; i < count; ++i) {
            base::ComPtr<IXMLDOMNode> node;
            BSTR name = nullptr;
            if (SUCCEEDED(attributes->get_item(i, node.put())) && node && SUCCEEDED(node->get_nodeName(&name)))
                names += std::wstring(name) + L"\n";
            ::SysFreeString(name);
        }
        return names;
    }

    // Every row's item has its row as 项目索引; entries of collapsed groups have -1.
    void ExpectRowIndexes(const char* step)
    {
        SCOPED_TRACE(step);
        const Handles rows = Rows();
        for (size_t row = 0; row < rows.size(); ++row)
            EXPECT_EQ(RowIndexOf(rows[row]), static_cast<int>(row)) << "row " << row;
        size_t shown = 0;
        for (int group : Children(0)) {
            const bool expanded = m_control.ReadItem(group).value_or(grouplist::ItemRecord{}).expanded;
            ++shown;
            for (int entry : Children(group)) {
                if (expanded)
                    ++shown;
                else
                    EXPECT_EQ(RowIndexOf(entry), -1) << "hidden " << entry;
            }
        }
        EXPECT_EQ(shown, rows.size());
    }
};

TEST_F(ListOperations, AddedEntriesTakeTheirRows)
{
    const int a = m_control.AddGroup(L"A", true);
    const int b = m_control.AddGroup(L"B", true);
    const int a1 = AddEntry(a, L"a1");
    EXPECT_EQ(Rows(), (Handles{a, a1, b}));
    EXPECT_EQ(RowIndexOf(b), 2);
    const int a2 = AddEntry(a, L"a2");
    const int b1 = AddEntry(b, L"b1");
    EXPECT_EQ(Rows(), (Handles{a, a1, a2, b, b1}));

    const int c = m_control.AddGroup(L"C");
    EntryInfo info;
    info.groupHandle = c;
    EXPECT_EQ(m_control.AddEntry(info), 1);
    EXPECT_EQ(RowIndexOf(info.handle), -1);
    EXPECT_EQ(Rows(), (Handles{a, a1, a2, b, b1, c}));
    EXPECT_EQ(m_control.ExpandGroup(c), 1);
    EXPECT_EQ(Rows(), (Handles{a, a1, a2, b, b1, c, info.handle}));
    ExpectRowIndexes("expanded");
}

TEST_F(ListOperations, ExpandAndCollapse)
{
    const int a = m_control.AddGroup(L"A", true);
    const int a1 = AddEntry(a, L"a1");
    const int b = m_control.AddGroup(L"B", true);
    const Handles bs{AddEntry(b, L"b1"), AddEntry(b, L"b2"), AddEntry(b, L"b3")};
    const int c = m_control.AddGroup(L"C", true);
    const int c1 = AddEntry(c, L"c1");
    const int empty = m_control.AddGroup(L"D");
    const Handles all{a, a1, b, bs[0], bs[1], bs[2], c, c1, empty};
    const Handles collapsed{a, a1, b, c, c1, empty};
    EXPECT_EQ(Rows(), all);

    EXPECT_EQ(m_control.ExpandGroup(b), 1);
    EXPECT_EQ(m_control.ExpandGroup(bs[0]), 0);
    EXPECT_EQ(m_control.CollapseGroup(bs[0]), 0);
    EXPECT_EQ(Rows(), all);
    EXPECT_EQ(m_control.CollapseGroup(b), 1);
    EXPECT_EQ(Rows(), collapsed);
    EXPECT_EQ(RowIndexOf(c1), 4);
    EXPECT_EQ(m_control.ExpandGroup(empty), 1);
    EXPECT_TRUE(m_control.ReadItem(empty)->expanded);
    EXPECT_EQ(Rows(), collapsed);
    ExpectRowIndexes("collapsed");

    // Only "1" reads as expanded.
    VARIANT two;
    ::VariantInit(&two);
    two.vt = VT_BSTR;
    two.bstrVal = ::SysAllocString(L"2");
    BSTR expanded = ::SysAllocString(L"已扩展");
    Element(b)->setAttribute(expanded, two);
    ::SysFreeString(expanded);
    ::VariantClear(&two);
    EXPECT_FALSE(m_control.ReadItem(b)->expanded);
    EXPECT_EQ(m_control.CollapseGroup(b), 1);
    EXPECT_EQ(Rows(), collapsed);
    EXPECT_EQ(m_control.ExpandGroup(b), 1);
    EXPECT_EQ(Rows(), all);
}

TEST_F(ListOperations, RowIndexesFollowEveryChange)
{
    const int a = m_control.AddGroup(L"A", true);
    const int b = m_control.AddGroup(L"B");
    const int c = m_control.AddGroup(L"C", true);
    AddEntry(a, L"a1", false);
    AddEntry(a, L"a2", true);
    const int b1 = AddEntry(b, L"b1", false);
    AddEntry(b, L"b2", true);
    AddEntry(c, L"c1");
    const int x = m_control.InsertGroup(b, L"X", true);
    AddEntry(x, L"x1");
    AddEntry(a, L"a3", false);
    ExpectRowIndexes("added and inserted");
    m_control.ExpandGroup(b);
    m_control.CollapseGroup(a);
    ExpectRowIndexes("expanded and collapsed");
    m_control.DeleteEntry(b1);
    m_control.ExpandAllGroups();
    m_control.SortAllGroups();
    ExpectRowIndexes("deleted and sorted");
    m_control.DeleteGroup(x);
    m_control.ClearGroupEntries(c);
    m_control.InsertGroup(a, L"Y", true);
    ExpectRowIndexes("group deleted");
    m_control.CollapseAllGroups();
    ExpectRowIndexes("all collapsed");
}

TEST_F(ListOperations, SelectionStaysOnItsEntry)
{
    const int a = m_control.AddGroup(L"A");
    for (const wchar_t* name : {L"a1", L"a2", L"a3"})
        AddEntry(a, name);
    const int b = m_control.AddGroup(L"B", true);
    const Handles bs{AddEntry(b, L"b1"), AddEntry(b, L"b2"), AddEntry(b, L"b3")};
    m_control.SelectItem(bs[1]);
    ASSERT_EQ(m_control.SelectedRow(), 3);
    EntryInfo info;
    const auto selected = [&] { return m_control.GetSelectedEntry(info) ? info.handle : 0; };

    m_control.ExpandGroup(a);
    EXPECT_EQ(m_control.SelectedRow(), 6);
    EXPECT_EQ(selected(), bs[1]);
    m_control.CollapseGroup(a);
    EXPECT_EQ(m_control.SelectedRow(), 3);
    m_control.InsertGroup(a, L"X");
    EXPECT_EQ(m_control.SelectedRow(), 4);
    m_control.DeleteEntry(bs[0]);
    EXPECT_EQ(m_control.SelectedRow(), 3);
    EXPECT_EQ(selected(), bs[1]);
    m_control.CollapseGroup(b);
    EXPECT_EQ(m_control.SelectedRow(), -1);
    EXPECT_EQ(selected(), 0);

    m_control.ExpandGroup(b);
    m_control.SelectItem(bs[1]);
    EXPECT_EQ(m_control.DeleteEntry(bs[1]), 1);
    EXPECT_EQ(m_control.SelectedRow(), -1);
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(m_control.GetEntryInfo(bs[1], info), 0);
    EXPECT_FALSE(m_control.ReadItem(bs[1]));
    EXPECT_EQ(m_control.FindEntryByName(L"b2"), 0);
    EXPECT_EQ(m_control.DeleteEntry(bs[1]), 0);
    EXPECT_EQ(m_control.DeleteEntry(b), 0);
    EXPECT_EQ(RowIndexOf(bs[2]), 3);
}

TEST_F(ListOperations, DeleteAndClearGroups)
{
    Handles groups;
    Handles entries;
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
        groups.push_back(m_control.AddGroup(name, true));
        entries.push_back(AddEntry(groups.back(), L"1"));
        entries.push_back(AddEntry(groups.back(), L"2"));
    }
    const int a = groups[0];
    const int c = groups[2];
    for (int bad : {kUnknownHandle, entries[0]})
        EXPECT_EQ(m_control.DeleteGroup(bad) + m_control.ClearGroupEntries(bad), 0) << bad;
    EXPECT_EQ(m_control.DeleteGroup(groups[1]), 1);
    EXPECT_EQ(Rows(), (Handles{a, entries[0], entries[1], c, entries[4], entries[5]}));
    EXPECT_EQ(m_control.GetGroupName(groups[1]), L"");
    EXPECT_FALSE(m_control.ReadItem(entries[2]));
    ExpectRowIndexes("group deleted");

    EXPECT_EQ(m_control.ClearGroupEntries(a), 1);
    EXPECT_EQ(Rows(), (Handles{a, c, entries[4], entries[5]}));
    EXPECT_EQ(RowIndexOf(AddEntry(a, L"again")), 1); // still expanded
    EXPECT_EQ(m_control.ClearGroupEntries(), 1);
    EXPECT_EQ(Rows(), (Handles{a, c}));

    const int x = m_control.InsertGroup(a, L"X", true);
    EXPECT_EQ(Rows(), (Handles{x, a, c}));
    EXPECT_EQ(Children(0).back(), x);
    const int d = m_control.AddGroup(L"D");
    const int hidden = AddEntry(d, L"d1");
    const int shown = AddEntry(c, L"c1");
    for (int bad : {shown, hidden, kUnknownHandle})
        EXPECT_EQ(m_control.InsertGroup(bad, L"Y"), 0) << bad;
    EXPECT_EQ(Rows(), (Handles{x, a, c, shown, d}));
    ExpectRowIndexes("inserted");

    // Rows out of document order go too.
    AddEntry(x, L"x1");
    EXPECT_EQ(m_control.DeleteGroup(), 1);
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(Children(0).empty());
    EXPECT_EQ(RowIndexOf(m_control.AddGroup(L"new")), 0);
}

TEST_F(ListOperations, SortPutsOnlineEntriesFirst)
{
    const int a = m_control.AddGroup(L"A", true);
    for (const wchar_t* name : {L"a1", L"a2", L"a3"})
        AddEntry(a, name);
    const int g = m_control.AddGroup(L"G", true);
    const Handles es{AddEntry(g, L"E1", false, {3, 7}), AddEntry(g, L"E2"), AddEntry(g, L"E3", false),
                     AddEntry(g, L"E4")};
    const auto before = m_control.ReadItem(es[0]);
    // A new entry has no flashing state yet and, without icons, no icon list.
    EXPECT_EQ(AttributeNames(es[1]), L"项目句柄\n项目类别\n分组句柄\n项目名称\n项目号码\n个性签名\n名称颜色\n"
                                     L"业务图标数量\n备注信息\n头像图标句柄\n灰度头像句柄\n头像宽度\n头像高度\n"
                                     L"是否在线\n项目索引\n项目数值\n");

    m_control.SortAllGroups();
    const Handles rows = Rows();
    EXPECT_EQ(Handles(rows.begin() + 5, rows.begin() + 9), (Handles{es[1], es[3], es[0], es[2]}));
    const auto after = m_control.ReadItem(es[0]);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->name, L"E1");
    EXPECT_EQ(after->avatarPicture, before->avatarPicture);
    EXPECT_EQ(after->greyPicture, before->greyPicture);
    EXPECT_EQ(after->serviceIcons, (std::vector<int>{3, 7}));
    // Sorted entries are written afresh, every attribute in its fixed order.
    EXPECT_EQ(AttributeNames(es[0]), L"项目句柄\n项目类别\n分组句柄\n项目名称\n项目号码\n个性签名\n名称颜色\n"
                                     L"业务图标数量\n业务图标数组\n备注信息\n头像图标句柄\n灰度头像句柄\n头像宽度\n"
                                     L"头像高度\n头像偏移\n是否在线\n项目索引\n头像闪烁\n项目数值\n");
    ExpectRowIndexes("sorted");
}

TEST_F(ListOperations, MediumModeKeepsTheSelectedEntryLarge)
{
    const int a = m_control.AddGroup(L"A", true);
    const Handles as{AddEntry(a, L"a1"), AddEntry(a, L"a2"), AddEntry(a, L"a3")};
    AddEntry(m_control.AddGroup(L"B", true), L"b1");
    m_control.SelectItem(as[2]);
    ASSERT_EQ(m_control.SelectedRow(), 3);
    m_control.SetMediumMode(true);
    const Handles heights{24, 30, 30, 54, 24, 30};
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(RowHeight(row), heights[row]) << row;
    // Coming from rows that did not enlarge it, the selected entry grows.
    m_control.SetSmallMode(false);
    EXPECT_EQ(RowHeight(3), 20);
    m_control.SetMediumMode(true);
    EXPECT_EQ(RowHeight(3), 54);
    EXPECT_EQ(RowHeight(2), 30);
}

TEST_F(ListOperations, ListFillsTheResizedHostsClientArea)
{
    // A framed host: its client area is smaller than its window.
    ::SetWindowLongPtrW(m_host, GWL_STYLE, ::GetWindowLongPtrW(m_host, GWL_STYLE) | WS_CAPTION);
    ::SetWindowPos(m_host, nullptr, 20, 30, 320, 480, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Pump();
    RECT client{};
    ::GetClientRect(m_host, &client);
    ASSERT_LT(client.bottom, 480);
    RECT list{};
    ::GetWindowRect(m_list, &list);
    ::MapWindowPoints(HWND_DESKTOP, m_host, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(list.right, client.right);
    EXPECT_EQ(list.bottom, client.bottom);
}

} // namespace
