#include "grouplist/GroupedListControl.h"

#include "grouplist/EntryBitmaps.h"
#include "grouplist/ItemRecords.h"
#include "grouplist/ListRows.h"
#include "grouplist/ListTooltip.h"
#include "grouplist/ListWindowProcs.h"
#include "grouplist/MarkedRows.h"
#include "grouplist/RenameEdit.h"
#include "grouplist/RowFilter.h"
#include "grouplist/RowModel.h"
#include "grouplist/RowPainter.h"
#include "image/PictureHelpers.h"

#include <random>

namespace grouplist {

namespace {

int g_handleCounter = 0; // process-wide; 0 until the first control seeds it

constexpr COLORREF kHoverPen = 0xFFDEA6;
constexpr COLORREF kHoverBrush = 0xFFF0DC;
constexpr COLORREF kSelectedPen = 0x26C8FD;
constexpr COLORREF kSelectedBrush = 0xA9E7FF;
constexpr COLORREF kAvatarFrame = 0xE9E3D7;
constexpr COLORREF kSignature = 0x606060;
constexpr COLORREF kIconHighlightFill = 0xBEE8FC;
constexpr COLORREF kIconHighlightFrame = 0x438ACE;

void ApplyRowStyle(RowColours& colours, const RowStyle& style, COLORREF background)
{
    colours.shape = style.shape == 1 ? 1 : 0;
    colours.normalPen = style.normalPen.value_or(background);
    colours.normalBrush = style.normalBrush.value_or(background);
    colours.hoverPen = style.hoverPen.value_or(kHoverPen);
    colours.hoverBrush = style.hoverBrush.value_or(kHoverBrush);
    colours.selectedPen = style.selectedPen.value_or(kSelectedPen);
    colours.selectedBrush = style.selectedBrush.value_or(kSelectedBrush);
}

// Gives every entry row the mode's height, and the selected entry the large
// one when the mode enlarges it (whatever height the last mode gave it);
// group rows too when their scale changed.
void ApplyRowHeights(ListInstance& instance, bool groupsToo)
{
    const RowBatch batch(instance);
    const int enlarged = EnlargesSelection(instance) ? instance.selectedRow : -1;
    const int count = RowCount(instance.list);
    for (int row = 0; row < count; ++row) {
        const int handle = ItemAtRow(instance.list, row);
        if (instance.index.FindEntry(handle))
            SetRowHeight(instance.list, row, instance.EntryRowHeight(row == enlarged));
        else if (groupsToo && instance.index.FindGroup(handle))
            SetRowHeight(instance.list, row, instance.GroupRowHeight());
    }
}

// Draws every service icon as added into a strip of cells of the control's
// scale, each resampled from its own picture, never from a smaller cell.
bool DrawServiceIconStrip(ListInstance& instance)
{
    const int count = static_cast<int>(instance.serviceIconPictures.size());
    if (count == 0) {
        instance.serviceIconStrip.reset();
        return true;
    }
    const int cell = instance.Px(kServiceIconSize);
    const base::WindowDc listDc(instance.list);
    const base::UniqueMemoryDc stripDc = base::CreateMemoryDc(listDc.get());
    const base::UniqueMemoryDc sourceDc = base::CreateMemoryDc(listDc.get());
    base::UniqueBitmap strip(::CreateCompatibleBitmap(listDc.get(), cell * count, cell));
    if (!stripDc || !sourceDc || !strip)
        return false;
    {
        const base::SelectGuard selectStrip(stripDc.get(), strip.get());
        ::SetStretchBltMode(stripDc.get(), HALFTONE);
        for (int i = 0; i < count; ++i) {
            const auto index = static_cast<size_t>(i);
            const SIZE size = instance.serviceIconSizes[index];
            const base::SelectGuard selectImage(sourceDc.get(), instance.serviceIconPictures[index].get());
            ::SetBrushOrgEx(stripDc.get(), 0, 0, nullptr);
            ::StretchBlt(stripDc.get(), cell * i, 0, cell, cell, sourceDc.get(), 0, 0, size.cx, size.cy, SRCCOPY);
        }
    }
    instance.serviceIconStrip = std::move(strip);
    return true;
}

} // namespace

ListInstance* GroupedListControl::Instance() const
{
    return FindInstance(m_list);
}

HWND GroupedListControl::GetWindowHandle()
{
    if (m_list && !::IsWindow(m_list))
        m_list = nullptr;
    return m_list;
}

bool GroupedListControl::IsCreated() const
{
    return m_list && ::IsWindow(m_list);
}

bool GroupedListControl::Create(HWND host, int border, int mode, bool enlargeSelected, COLORREF background)
{
    if (IsCreated() || !::IsWindow(host))
        return false;
    m_host = host;
    RECT client{};
    ::GetClientRect(host, &client);

    // Rows carry their items' names as strings only for accessibility tools,
    // which read a list box's rows as their text. Rows repainted on hover
    // must not paint over a rename's edit.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS |
                  LBS_NOTIFY;
    DWORD exStyle = 0;
    if (border == 1)
        exStyle = WS_EX_CLIENTEDGE;
    else if (border == 2)
        style |= WS_BORDER;
    m_list = ::CreateWindowExW(exStyle, L"ListBox", L"分组列表框", style, 0, 0, client.right, client.bottom, host,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_list)
        return false;
    ::ShowWindow(m_list, SW_SHOW);

    auto created = std::make_unique<ListInstance>();
    ListInstance& instance = *created;
    instance.list = m_list;
    instance.host = host;
    instance.dpi = m_dpi;
    instance.listFont = CreateRowFont(m_dpi);
    ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(instance.listFont.get()), 0);
    // Should GDI refuse here, the first paint tries again.
    (void)instance.paint.Prepare(m_list, instance.listFont.get(), client.right, instance.Px(kLargeRowHeight));

    if (g_handleCounter == 0) {
        std::mt19937 random(static_cast<unsigned>(::GetTickCount()) ^ static_cast<unsigned>(::GetCurrentProcessId()));
        g_handleCounter = std::uniform_int_distribution<int>(10000, 99999)(random);
    }
    // Without an XML component the control still exists; its item operations fail.
    (void)instance.document.Create(m_list, host);

    switch (mode) {
    case 1:
        instance.entryRowHeight = kMediumRowHeight;
        instance.displayMode = 1;
        break;
    case 2:
        instance.entryRowHeight = kSmallRowHeight;
        instance.displayMode = 2;
        break;
    default:
        instance.entryRowHeight = kLargeRowHeight;
        instance.displayMode = 0;
        break;
    }
    instance.enlargeSelected = enlargeSelected;
    instance.background = background;
    instance.backgroundBrush.reset(::CreateSolidBrush(background));

    AddInstance(std::move(created));
    if (!InstallWindowProcs(instance)) {
        RemoveInstance(m_list);
        ::DestroyWindow(m_list);
        m_list = nullptr;
        return false;
    }
    SetEntryStyle();
    SetGroupStyle();
    SetServiceIconHighlight();
    ::InvalidateRect(m_list, nullptr, TRUE);
    return true;
}

void GroupedListControl::SetEventHandlers(ListEventHandlers handlers)
{
    if (ListInstance* instance = Instance())
        instance->handlers = std::move(handlers);
}

#define QUILLERY_HANDLER_SETTER(Method, field)                                                                         \
    void GroupedListControl::Method(ListEventHandler handler)                                                          \
    {                                                                                                                  \
        if (ListInstance* instance = Instance())                                                                       \
            instance->handlers.field = std::move(handler);                                                             \
    }
QUILLERY_HANDLER_SETTER(SetEntryClickHandler, entryClick)
QUILLERY_HANDLER_SETTER(SetEntryDoubleClickHandler, entryDoubleClick)
QUILLERY_HANDLER_SETTER(SetEntryRightClickHandler, entryRightClick)
QUILLERY_HANDLER_SETTER(SetRowEnterHandler, rowEnter)
QUILLERY_HANDLER_SETTER(SetRowLeaveHandler, rowLeave)
QUILLERY_HANDLER_SETTER(SetGroupClickHandler, groupClick)
QUILLERY_HANDLER_SETTER(SetGroupDoubleClickHandler, groupDoubleClick)
QUILLERY_HANDLER_SETTER(SetGroupRightClickHandler, groupRightClick)
QUILLERY_HANDLER_SETTER(SetServiceIconClickHandler, serviceIconClick)
QUILLERY_HANDLER_SETTER(SetBlankRightClickHandler, blankRightClick)
#undef QUILLERY_HANDLER_SETTER

void GroupedListControl::SetKeyHandler(ListKeyHandler handler)
{
    if (ListInstance* instance = Instance())
        instance->keyHandler = std::move(handler);
}

void GroupedListControl::SetFilter(std::wstring_view text)
{
    if (ListInstance* instance = Instance()) {
        grouplist::SetFilter(*instance, text);
        FollowRenamedItem(*instance); // the list may have scrolled without its rows changing
    }
}

std::wstring GroupedListControl::FilterText() const
{
    const ListInstance* instance = Instance();
    return instance ? instance->filter.text : std::wstring();
}

int GroupedListControl::AddServiceIcon(std::span<const std::uint8_t> picture, COLORREF transparent)
{
    ListInstance* instance = Instance();
    if (!instance)
        return 0;
    SIZE size{};
    base::UniqueBitmap image = image::BitmapFromBytes(picture, size);
    if (!image || size.cx <= 0 || size.cy <= 0)
        return 0;

    instance->serviceIconPictures.push_back(std::move(image));
    instance->serviceIconSizes.push_back(size);
    if (!DrawServiceIconStrip(*instance)) {
        instance->serviceIconPictures.pop_back();
        instance->serviceIconSizes.pop_back();
        return 0;
    }
    instance->serviceIconKeys.push_back(transparent);
    return ++instance->serviceIconCount;
}

void GroupedListControl::Redraw()
{
    if (m_list)
        ::InvalidateRect(m_list, nullptr, TRUE);
}

void GroupedListControl::BeginUpdate()
{
    if (ListInstance* instance = Instance()) {
        ++instance->updatesOpen;
        PauseRedraw(*instance);
    }
}

void GroupedListControl::EndUpdate()
{
    ListInstance* instance = Instance();
    if (!instance || instance->updatesOpen == 0)
        return;
    --instance->updatesOpen;
    ResumeRedraw(*instance, false);
}

void GroupedListControl::SharePicture(HBITMAP picture)
{
    grouplist::SharePicture(picture);
}

void GroupedListControl::ReleasePicture(HBITMAP picture)
{
    grouplist::ReleasePicture(picture);
}

int GroupedListControl::NewHandle()
{
    return ++g_handleCounter;
}

void GroupedListControl::ApplyModeHeight(int mode, int height, std::optional<bool> enlargeSelected)
{
    ListInstance* instance = Instance();
    if (!instance)
        return;
    instance->entryRowHeight = height;
    instance->displayMode = mode;
    if (enlargeSelected)
        instance->enlargeSelected = *enlargeSelected;
    ApplyRowHeights(*instance, false);
    FollowRenamedItem(*instance);
}

void GroupedListControl::SetDpi(int dpi)
{
    if (dpi <= 0)
        dpi = base::kDesignDpi;
    m_dpi = dpi;
    ListInstance* instance = Instance();
    if (!instance || instance->dpi == dpi)
        return;
    // The edit has the old font and size; the tooltip stands where rows were.
    grouplist::CancelRename(*instance);
    QuietTooltip(*instance);
    instance->dpi = dpi;
    ScaleTooltip(*instance);
    if (base::UniqueFont font = CreateRowFont(dpi)) {
        // The canvas and the list box take the new font before the old one goes.
        instance->paint.SetFont(font.get());
        ::SendMessageW(instance->list, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        instance->listFont = std::move(font);
    }
    // Should GDI refuse, no icons rather than old cells cut at the new size.
    if (!DrawServiceIconStrip(*instance))
        instance->serviceIconStrip.reset();
    {
        // The same row stays at the top; the rows keep their indexes, so hover
        // and selection stay on their items.
        const LRESULT top = ::SendMessageW(instance->list, LB_GETTOPINDEX, 0, 0);
        const RowBatch batch(*instance);
        ApplyRowHeights(*instance, true);
        if (top > 0)
            ::SendMessageW(instance->list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    }
    // The host has its new size by now; the list fills it as at creation.
    RECT client{};
    ::GetClientRect(instance->host, &client);
    ::MoveWindow(instance->list, 0, 0, client.right, client.bottom, TRUE);
    ::InvalidateRect(instance->list, nullptr, TRUE);
}

int GroupedListControl::Dpi() const
{
    const ListInstance* instance = Instance();
    return instance ? instance->dpi : m_dpi;
}

void GroupedListControl::SetLargeMode()
{
    ApplyModeHeight(0, kLargeRowHeight, std::nullopt);
}

void GroupedListControl::SetMediumMode(bool enlargeSelected)
{
    ApplyModeHeight(1, kMediumRowHeight, enlargeSelected);
}

void GroupedListControl::SetSmallMode(bool enlargeSelected)
{
    ApplyModeHeight(2, kSmallRowHeight, enlargeSelected);
}

void GroupedListControl::SetGroupStyle(const RowStyle& style)
{
    if (ListInstance* instance = Instance()) {
        ApplyRowStyle(instance->group, style, instance->background);
        Redraw();
    }
}

void GroupedListControl::SetEntryStyle(const EntryStyle& style)
{
    if (ListInstance* instance = Instance()) {
        ApplyRowStyle(instance->entry, style, instance->background);
        instance->avatarFrame = style.avatarFrame.value_or(kAvatarFrame);
        instance->signatureColour = style.signature.value_or(kSignature);
        Redraw();
    }
}

void GroupedListControl::SetServiceIconHighlight(std::optional<COLORREF> fill, std::optional<COLORREF> frame)
{
    if (ListInstance* instance = Instance()) {
        instance->iconHighlightFill = fill.value_or(kIconHighlightFill);
        instance->iconHighlightFrame = frame.value_or(kIconHighlightFrame);
        Redraw();
    }
}

int GroupedListControl::SelectItem(int handle)
{
    ListInstance* instance = Instance();
    ItemRecord item;
    if (!instance || handle < 1 || !grouplist::ReadItem(*instance, handle, item))
        return 0;
    if (item.rowIndex < 0)
        return 0;
    if (item.rowIndex != instance->selectedRow) {
        instance->filter.followFirstMatch = false;
        for (int changed : MoveSelection(*instance, item.rowIndex))
            PaintRow(*instance, changed);
    }
    if (ScrollRowIntoView(instance->list, item.rowIndex))
        FollowRenamedItem(*instance);
    return 0;
}

int GroupedListControl::SelectedHandle() const
{
    const ListInstance* instance = Instance();
    if (!instance || instance->selectedRow < 0)
        return 0;
    const int handle = ItemAtRow(instance->list, instance->selectedRow);
    return handle > 0 ? handle : 0;
}

bool GroupedListControl::BeginRename(int handle, const std::wstring& text, RenameHandler onCommit)
{
    ListInstance* instance = Instance();
    return instance && grouplist::BeginRename(*instance, handle, text, std::move(onCommit));
}

void GroupedListControl::CancelRename()
{
    if (ListInstance* instance = Instance())
        grouplist::CancelRename(*instance);
}

HWND GroupedListControl::RenameEdit() const
{
    const ListInstance* instance = Instance();
    return instance ? instance->rename.edit : nullptr;
}

void GroupedListControl::SuspendTooltips(bool suspend)
{
    if (ListInstance* instance = Instance())
        SuspendTooltip(*instance, suspend);
}

HWND GroupedListControl::TooltipWindow() const
{
    const ListInstance* instance = Instance();
    return instance ? instance->tooltip.window : nullptr;
}

int GroupedListControl::GetHandleAtRow(int row)
{
    const ListInstance* instance = Instance();
    if (!instance || row < 0)
        return LB_ERR;
    return ItemAtRow(instance->list, row);
}

std::optional<ItemRecord> GroupedListControl::ReadItem(int handle) const
{
    ItemRecord record;
    const ListInstance* instance = Instance();
    if (!instance || !grouplist::ReadItem(*instance, handle, record))
        return std::nullopt;
    return record;
}

int GroupedListControl::HoverRow() const
{
    const ListInstance* instance = Instance();
    return instance ? instance->hoverRow : -1;
}

int GroupedListControl::SelectedRow() const
{
    const ListInstance* instance = Instance();
    return instance ? instance->selectedRow : -1;
}

IXMLDOMDocument* GroupedListControl::Document() const
{
    const ListInstance* instance = Instance();
    return instance ? instance->document.Document() : nullptr;
}

void GroupedListControl::SetDefaultAvatars(HBITMAP picture, HBITMAP grey)
{
    SetDefaultAvatarPair(picture, grey);
}

} // namespace grouplist
