#pragma once
// The XML document that holds a list control's groups and entries, with a
// map from item handle to element beside it so that no lookup searches the
// document by tag name. The document stays the only store of the data: the
// map holds nothing but element references.

#include "base/ComPtr.h"

#include <windows.h>

#include <msxml2.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace grouplist {

// The attributes of group and entry elements.
enum class Attr {
    Handle,       // 项目句柄
    Kind,         // 项目类别
    RowIndex,     // 项目索引
    GroupName,    // 分组名称
    Expanded,     // 已扩展
    NameColor,    // 名称颜色
    Value,        // 项目数值
    Remark,       // 备注信息
    GroupHandle,  // 分组句柄
    EntryName,    // 项目名称
    Number,       // 项目号码
    Signature,    // 个性签名
    IconCount,    // 业务图标数量
    Icons,        // 业务图标数组
    Avatar,       // 头像图标句柄
    GreyAvatar,   // 灰度头像句柄
    AvatarWidth,  // 头像宽度
    AvatarHeight, // 头像高度
    Online,       // 是否在线
    Flashing,     // 头像闪烁
    AvatarOffset, // 头像偏移
    Missing,      // 程序缺失
    Count
};

[[nodiscard]] const wchar_t* AttrName(Attr attr);

using Element = base::ComPtr<IXMLDOMElement>;

class ItemDocument {
public:
    // Makes the document ("Microsoft.XMLDOM", else "MSXML.DOMDocument") and
    // its root element. False when neither component exists.
    bool Create(HWND list, HWND host);
    explicit operator bool() const noexcept { return static_cast<bool>(m_root); }

    [[nodiscard]] IXMLDOMDocument* Document() const noexcept { return m_document.get(); }
    [[nodiscard]] IXMLDOMElement* Root() const noexcept { return m_root.get(); }

    // The element of an item, or null.
    [[nodiscard]] IXMLDOMElement* Find(int handle) const;

    // A new element named "Item<handle>", known to Find from now on; it is
    // not in the tree until appended.
    [[nodiscard]] IXMLDOMElement* NewElement(int handle);
    // The same in two steps: an element Find does not know yet, and making
    // it the item's element (in place of any earlier one).
    [[nodiscard]] Element CreateElement(int handle) const;
    void Adopt(int handle, Element element);
    // Removes the element from its parent and from the map; false (and
    // nothing changed) when the tree refuses to let it go.
    [[nodiscard]] bool Remove(IXMLDOMElement* parent, int handle);
    // Removes every group and entry.
    void RemoveAll();

    // The handle of the first entry (a grandchild of the root, in document
    // order) whose attribute equals the text exactly; 0 when none.
    [[nodiscard]] int FindEntry(const std::wstring& attribute, std::wstring_view text) const;

    [[nodiscard]] bool Save(const std::wstring& path) const;

    // Attribute access: an absent attribute reads as 0 or empty text.
    [[nodiscard]] static std::wstring Text(IXMLDOMElement* element, Attr attr);
    [[nodiscard]] static int Int(IXMLDOMElement* element, Attr attr);
    [[nodiscard]] static bool Flag(IXMLDOMElement* element, Attr attr) { return Int(element, attr) == 1; }
    static void Set(IXMLDOMElement* element, Attr attr, std::wstring_view text);
    static void Set(IXMLDOMElement* element, Attr attr, int number);

    static bool Append(IXMLDOMNode* parent, IXMLDOMElement* child);
    // Takes a child out of the tree; the map is left alone.
    static bool Detach(IXMLDOMNode* parent, IXMLDOMElement* child);
    // The element children of a node, in document order.
    [[nodiscard]] static std::vector<Element> Children(IXMLDOMNode* parent);

private:
    base::ComPtr<IXMLDOMDocument> m_document;
    Element m_root;
    std::unordered_map<int, Element> m_elements;
};

} // namespace grouplist
