#include "grouplist/ItemDocument.h"

#include "grouplist/ItemText.h"

#include <oleauto.h>

#include <algorithm>
#include <array>
#include <memory>

namespace grouplist {

namespace {

struct BstrFree {
    void operator()(BSTR text) const noexcept { ::SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

UniqueBstr MakeBstr(std::wstring_view text)
{
    return UniqueBstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

constexpr std::array<const wchar_t*, static_cast<size_t>(Attr::Count)> kAttrNames = {
    L"项目句柄", L"项目类别", L"项目索引", L"分组名称", L"已扩展",   L"名称颜色",   L"项目数值",
    L"备注信息", L"分组句柄", L"项目名称", L"项目号码", L"个性签名", L"业务图标数量", L"业务图标数组",
    L"头像图标句柄", L"灰度头像句柄", L"头像宽度", L"头像高度", L"是否在线", L"头像闪烁", L"头像偏移",
    L"程序缺失",
};

// The DOM takes names as BSTRs; making them once keeps lookups allocation-free.
BSTR AttrBstr(Attr attr)
{
    static const auto names = [] {
        std::array<UniqueBstr, kAttrNames.size()> made;
        for (size_t i = 0; i < made.size(); ++i)
            made[i] = MakeBstr(kAttrNames[i]);
        return made;
    }();
    return names[static_cast<size_t>(attr)].get();
}

// The attribute's value as the DOM hands it out (VT_BSTR, or VT_NULL when absent).
class AttributeValue {
public:
    AttributeValue(IXMLDOMElement* element, BSTR name)
    {
        ::VariantInit(&m_value);
        if (element)
            element->getAttribute(name, &m_value);
    }
    AttributeValue(const AttributeValue&) = delete;
    AttributeValue& operator=(const AttributeValue&) = delete;
    ~AttributeValue() { ::VariantClear(&m_value); }

    [[nodiscard]] std::wstring_view View() const
    {
        if (m_value.vt != VT_BSTR || !m_value.bstrVal)
            return {};
        return {m_value.bstrVal, ::SysStringLen(m_value.bstrVal)};
    }

private:
    VARIANT m_value;
};

// A VT_BSTR VARIANT with its own copy of the text, freed when it goes.
class TextVariant {
public:
    explicit TextVariant(std::wstring_view text)
    {
        ::VariantInit(&m_value);
        m_value.vt = VT_BSTR;
        m_value.bstrVal = MakeBstr(text).release();
    }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    ~TextVariant() { ::VariantClear(&m_value); }

    [[nodiscard]] const VARIANT& get() const noexcept { return m_value; }

private:
    VARIANT m_value;
};

void SetBstrAttribute(IXMLDOMElement* element, BSTR name, std::wstring_view text)
{
    if (element)
        element->setAttribute(name, TextVariant(text).get());
}

// Not in MinGW's import libraries.
constexpr GUID kIidXmlDomDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// The version-independent document answers queries in the older XSL pattern
// language unless told otherwise.
void UseXPath(IXMLDOMDocument* document)
{
    base::ComPtr<IXMLDOMDocument2> document2;
    if (FAILED(document->QueryInterface(kIidXmlDomDocument2, document2.put_void())))
        return;
    const UniqueBstr name = MakeBstr(L"SelectionLanguage");
    document2->setProperty(name.get(), TextVariant(L"XPath").get());
}

// Whether a query can hold the attribute name as it is: no character that the
// query language reads as syntax, so the name cannot change what is asked.
bool IsPlainName(std::wstring_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return c >= 0x80 || (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
               c == L'_' || c == L'-' || c == L'.';
    });
}

std::wstring ItemTag(int handle)
{
    return L"Item" + std::to_wstring(handle);
}

} // namespace

const wchar_t* AttrName(Attr attr)
{
    return kAttrNames[static_cast<size_t>(attr)];
}

bool ItemDocument::Create(HWND list, HWND host)
{
    for (const wchar_t* progId : {L"Microsoft.XMLDOM", L"MSXML.DOMDocument"}) {
        CLSID clsid{};
        if (SUCCEEDED(::CLSIDFromProgID(progId, &clsid)) &&
            SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                         m_document.put_void())))
            break;
    }
    if (!m_document)
        return false;
    UseXPath(m_document.get());

    const UniqueBstr rootName = MakeBstr(L"分组列表");
    Element root;
    base::ComPtr<IXMLDOMNode> appended;
    if (FAILED(m_document->createElement(rootName.get(), root.put())) ||
        FAILED(m_document->appendChild(root.get(), appended.put()))) {
        m_document.reset(); // no half-made document for Document() to hand out
        return false;
    }
    // Written for whoever reads a saved document; the control never reads them back.
    const UniqueBstr hwndName = MakeBstr(L"hwnd");
    const UniqueBstr parentName = MakeBstr(L"hParent");
    SetBstrAttribute(root.get(), hwndName.get(), std::to_wstring(HandleToLong(list)));
    SetBstrAttribute(root.get(), parentName.get(), std::to_wstring(HandleToLong(host)));
    m_root = std::move(root);
    return true;
}

IXMLDOMElement* ItemDocument::Find(int handle) const
{
    const auto found = m_elements.find(handle);
    return found == m_elements.end() ? nullptr : found->second.get();
}

IXMLDOMElement* ItemDocument::NewElement(int handle)
{
    Element element = CreateElement(handle);
    IXMLDOMElement* raw = element.get();
    if (raw)
        Adopt(handle, std::move(element));
    return raw;
}

Element ItemDocument::CreateElement(int handle) const
{
    Element element;
    if (m_document) {
        const UniqueBstr tag = MakeBstr(ItemTag(handle));
        if (FAILED(m_document->createElement(tag.get(), element.put())))
            element.reset();
    }
    return element;
}

void ItemDocument::Adopt(int handle, Element element)
{
    m_elements[handle] = std::move(element);
}

bool ItemDocument::Remove(IXMLDOMElement* parent, int handle)
{
    const auto found = m_elements.find(handle);
    if (found == m_elements.end())
        return true;
    // Still in the tree, it stays in the map: the two never disagree.
    if (parent && !Detach(parent, found->second.get()))
        return false;
    m_elements.erase(found);
    return true;
}

bool ItemDocument::Detach(IXMLDOMNode* parent, IXMLDOMElement* child)
{
    base::ComPtr<IXMLDOMNode> removed;
    return SUCCEEDED(parent->removeChild(child, removed.put())) && removed;
}

void ItemDocument::RemoveAll()
{
    for (const Element& group : Children(m_root.get()))
        Detach(m_root.get(), group.get());
    m_elements.clear();
}

int ItemDocument::FindEntry(const std::wstring& attribute, std::wstring_view text) const
{
    if (!m_root)
        return 0;
    // The DOM's own query engine keeps the cost per entry flat as the document
    // grows; stepping through the siblings (a COM object and an attribute
    // copy per entry) is quicker on small lists but slows per entry as the
    // document outgrows the processor's caches. A text holding both kinds of
    // quote cannot be written as a literal, and an absent attribute reads as
    // empty text here but matches no query.
    const bool doubleQuotes = text.find(L'"') == std::wstring_view::npos;
    if (!text.empty() && IsPlainName(attribute) && (doubleQuotes || text.find(L'\'') == std::wstring_view::npos)) {
        const wchar_t quote = doubleQuotes ? L'"' : L'\'';
        std::wstring query = L"*/*[@" + attribute + L"=" + quote;
        query.append(text);
        query += quote;
        query += L']';
        const UniqueBstr bstr = MakeBstr(query);
        base::ComPtr<IXMLDOMNode> node;
        const HRESULT result = m_root->selectSingleNode(bstr.get(), node.put());
        if (result == S_FALSE)
            return 0;
        if (result == S_OK && node) {
            const auto element = node.query<IXMLDOMElement>(IID_IXMLDOMElement);
            return Int(element.get(), Attr::Handle);
        }
    }
    // No usable query (an attribute name that is no plain name, say): walk.
    const UniqueBstr name = MakeBstr(attribute);
    for (const Element& group : Children(m_root.get())) {
        for (const Element& entry : Children(group.get())) {
            if (AttributeValue(entry.get(), name.get()).View() == text)
                return Int(entry.get(), Attr::Handle);
        }
    }
    return 0;
}

bool ItemDocument::Save(const std::wstring& path) const
{
    if (!m_document)
        return false;
    return SUCCEEDED(m_document->save(TextVariant(path).get()));
}

std::wstring ItemDocument::Text(IXMLDOMElement* element, Attr attr)
{
    return std::wstring(AttributeValue(element, AttrBstr(attr)).View());
}

int ItemDocument::Int(IXMLDOMElement* element, Attr attr)
{
    return ParseNumber(AttributeValue(element, AttrBstr(attr)).View());
}

void ItemDocument::Set(IXMLDOMElement* element, Attr attr, std::wstring_view text)
{
    SetBstrAttribute(element, AttrBstr(attr), text);
}

void ItemDocument::Set(IXMLDOMElement* element, Attr attr, int number)
{
    SetBstrAttribute(element, AttrBstr(attr), std::to_wstring(number));
}

bool ItemDocument::Append(IXMLDOMNode* parent, IXMLDOMElement* child)
{
    if (!parent || !child)
        return false;
    base::ComPtr<IXMLDOMNode> appended;
    return SUCCEEDED(parent->appendChild(child, appended.put()));
}

std::vector<Element> ItemDocument::Children(IXMLDOMNode* parent)
{
    std::vector<Element> children;
    if (!parent)
        return children;
    // Sibling links rather than childNodes.item(i), which may walk the list
    // from its start on every call.
    base::ComPtr<IXMLDOMNode> node;
    parent->get_firstChild(node.put());
    while (node) {
        if (auto element = node.query<IXMLDOMElement>(IID_IXMLDOMElement))
            children.push_back(std::move(element));
        base::ComPtr<IXMLDOMNode> next;
        node->get_nextSibling(next.put());
        node = std::move(next);
    }
    return children;
}

} // namespace grouplist
