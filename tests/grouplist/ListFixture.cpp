#include "grouplist/ListFixture.h"

#include <cstring>

namespace testing_support {

namespace {

constexpr wchar_t kHostClass[] = L"QuilleryListTestHost";

void RegisterHostClass()
{
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kHostClass;
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
}

} // namespace

std::vector<std::uint8_t> SolidBmp(int width, int height, COLORREF colour)
{
    const int stride = (width * 3 + 3) & ~3;
    const int pixels = stride * height;
    std::vector<std::uint8_t> file(54 + pixels, 0);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfSize = static_cast<DWORD>(file.size());
    header.bfOffBits = 54;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(pixels);
    std::memcpy(file.data(), &header, sizeof header);
    std::memcpy(file.data() + sizeof header, &info, sizeof info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = file.data() + 54 + y * stride + x * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    }
    return file;
}

void ListFixture::SetUp()
{
    ASSERT_TRUE(m_com.ok());
    RegisterHostClass();
    m_host = ::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"host", WS_POPUP | WS_VISIBLE, 0, 0, 275, 400, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(m_host, nullptr);
    ASSERT_TRUE(m_control.Create(m_host));
    m_list = m_control.GetWindowHandle();
    Pump();
}

void ListFixture::TearDown()
{
    if (m_host)
        ::DestroyWindow(m_host);
    Pump();
}

void ListFixture::Recreate(int mode, bool enlargeSelected)
{
    ::DestroyWindow(m_host);
    m_control = grouplist::GroupedListControl();
    m_host = ::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"host", WS_POPUP | WS_VISIBLE, 0, 0, 275, 400, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(m_control.Create(m_host, 0, mode, enlargeSelected));
    m_list = m_control.GetWindowHandle();
    Pump();
}

int ListFixture::AddEntry(int group, const std::wstring& name, bool online, std::vector<int> icons,
                          COLORREF avatarColour, bool withAvatar)
{
    grouplist::EntryInfo info;
    info.groupHandle = group;
    info.name = name;
    info.online = online;
    info.signature = L"C:\\Programs\\" + name + L".exe";
    if (withAvatar)
        info.avatarImage = SolidBmp(40, 40, avatarColour);
    if (m_control.AddEntry(info, icons.empty() ? nullptr : &icons) != 1)
        return 0;
    return info.handle;
}

std::vector<int> ListFixture::Rows() const
{
    std::vector<int> rows;
    const int count = static_cast<int>(::SendMessageW(m_list, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        rows.push_back(static_cast<int>(::SendMessageW(m_list, LB_GETITEMDATA, row, 0)));
    return rows;
}

int ListFixture::RowIndexOf(int handle) const
{
    const auto item = m_control.ReadItem(handle);
    return item ? item->rowIndex : -2;
}

int ListFixture::RowHeight(int row) const
{
    return static_cast<int>(::SendMessageW(m_list, LB_GETITEMHEIGHT, row, 0));
}

RECT ListFixture::RowRect(int row) const
{
    RECT rect{};
    ::SendMessageW(m_list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void ListFixture::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace testing_support
