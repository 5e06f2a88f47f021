#include "catalogue/CatalogueFolder.h"
#include "catalogue/CatalogueWriter.h"
#include "catalogue/DropAddWindow.h"
#include "catalogue/ManagePanel.h"
#include "toolkit/PanelControls.h"

#include "GdiCount.h"
#include "TempFolder.h"
#include "base/Dpi.h"
#include "base/Text.h"
#include "base/TextFile.h"

#include "ControlPlaces.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using testing_support::ChangeDpi;
using testing_support::PlacesIn;
using testing_support::ScaledPlaces;

using catalogue::CheckName;
using catalogue::NameProblem;
using Lines = std::vector<std::wstring>;

[[nodiscard]] std::wstring TextOf(HWND window)
{
    return toolkit::TextOf(window);
}

[[nodiscard]] RECT PlaceIn(HWND control, HWND parent)
{
    RECT at{};
    ::GetWindowRect(control, &at);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&at), 2);
    return at;
}

[[nodiscard]] LOGFONTW FontOf(HWND control)
{
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

[[nodiscard]] SIZE ClientSize(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

[[nodiscard]] bool Checked(HWND radio)
{
    return ::SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

[[nodiscard]] Lines ComboItems(HWND combo)
{
    Lines items(::SendMessageW(combo, CB_GETCOUNT, 0, 0), std::wstring(64, L'\0'));
    for (size_t i = 0; i < items.size(); ++i)
        items[i].resize(::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(items[i].data())));
    std::sort(items.begin(), items.end());
    return items;
}

void Click(HWND button)
{
    ::SendMessageW(button, BM_CLICK, 0, 0);
}

// A key on the focused control, through the dialog manager as the owner's loop does it.
bool Press(HWND window, UINT key)
{
    MSG msg{::GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
    return ::IsDialogMessageW(window, &msg);
}

// Every folder and file under folder, files with their bytes: any write shows.
void ListTree(const std::wstring& folder, const std::wstring& prefix, Lines& out)
{
    WIN32_FIND_DATAW data{};
    base::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(prefix + name + L"\\");
            ListTree(folder + L"\\" + name, prefix + name + L"\\", out);
        } else {
            const std::string bytes = base::ReadFileBytes(folder + L"\\" + name).value_or("?");
            out.push_back(prefix + name + L"=" + std::wstring(bytes.begin(), bytes.end()));
        }
    } while (::FindNextFileW(find.get(), &data));
    std::sort(out.begin(), out.end());
}

struct FakeShell final : catalogue::CatalogueShell {
    std::wstring ChooseProgram(HWND owner) override
    {
        calls.push_back(L"choose");
        lastOwner = owner;
        return program;
    }
    void Explore(const std::wstring& folder) override { calls.push_back(L"explore " + folder); }
    bool ConfirmReplace(HWND owner, const std::wstring& question) override
    {
        questions.push_back(question);
        lastOwner = owner;
        return replace;
    }

    std::wstring program;
    Lines calls;
    Lines questions;
    bool replace = false;
    HWND lastOwner = nullptr;
};

class CatalogueWindowTest : public ::testing::Test {
protected:
    CatalogueWindowTest()
    {
        const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
        ::CreateDirectoryW(m_root.c_str(), nullptr);
    }
    [[nodiscard]] catalogue::CatalogueWindowSettings Settings()
    {
        return {.root = m_root, .codePage = 936, .shell = &m_shell, .reload = [this] { ++m_reloads; }};
    }
    void MakeGroup(const std::wstring& name)
    {
        ASSERT_TRUE(::CreateDirectoryW((m_root + L"\\" + name).c_str(), nullptr));
    }
    [[nodiscard]] std::string Bytes(const std::wstring& file)
    {
        return base::ReadFileBytes(m_root + L"\\" + file).value_or("(missing)");
    }
    [[nodiscard]] Lines Tree()
    {
        Lines tree;
        ListTree(m_folder.Path(), L"", tree);
        return tree;
    }

    testing_support::TempFolder m_folder;
    std::wstring m_root = m_folder.Path() + L"\\Favorites";
    base::UniqueWindow m_owner{
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 300, 250, 200, 100, nullptr, nullptr, nullptr, nullptr)};
    FakeShell m_shell;
    int m_reloads = 0;
};

using Sizes = std::vector<LONG>;

// A form sent to 192 DPI and back: its client area, every control's place
// and font scaled there, and `sizes` (rows, tabs) half as large again at
// least; back at 96 all as it was, with no GDI object left behind.
void ExpectFollowsTheScale(HWND form, const std::function<Sizes()>& sizes)
{
    RECT window{};
    ::GetWindowRect(form, &window);
    const SIZE client = ClientSize(form);
    const std::vector<testing_support::Place> original = PlacesIn(form);
    const Sizes originalSizes = sizes();
    const int gdi = testing_support::LiveGdiObjects();

    ChangeDpi(form, 192, client);
    const SIZE scaled = ClientSize(form);
    EXPECT_TRUE(scaled.cx == base::Scaled(client.cx, 192) && scaled.cy == base::Scaled(client.cy, 192))
        << scaled.cx << "x" << scaled.cy;
    EXPECT_EQ(PlacesIn(form), ScaledPlaces(original, 192));
    const Sizes grown = sizes();
    for (size_t i = 0; i < grown.size(); ++i)
        EXPECT_GE(grown[i], originalSizes[i] * 3 / 2) << "size " << i;

    ChangeDpi(form, 96, client);
    RECT back{};
    ::GetWindowRect(form, &back);
    EXPECT_TRUE(::EqualRect(&back, &window));
    EXPECT_EQ(PlacesIn(form), original);
    EXPECT_EQ(sizes(), originalSizes);
    EXPECT_EQ(testing_support::LiveGdiObjects(), gdi) << "every font and brush made for a scale is gone with it";
}

class ManagePanelTest : public CatalogueWindowTest {
protected:
    void Open()
    {
        m_panel = std::make_unique<catalogue::ManagePanel>(Settings());
        ASSERT_TRUE(m_panel->Create(m_owner.get()));
    }
    // The eight controls the two radio buttons switch: group ones, then shortcut ones.
    [[nodiscard]] std::vector<bool> Enabled() const
    {
        std::vector<bool> enabled;
        for (HWND control : {m_panel->GroupNameEdit(), m_panel->AddGroupButton(), m_panel->ShortcutNameEdit(),
                             m_panel->ProgramPathEdit(), m_panel->GroupCombo(), m_panel->BrowseButton(),
                             m_panel->RefreshButton(), m_panel->AddShortcutButton()})
            enabled.push_back(::IsWindowEnabled(control) != FALSE);
        return enabled;
    }
    [[nodiscard]] std::wstring Status() const { return TextOf(m_panel->StatusLine()); }

    std::unique_ptr<catalogue::ManagePanel> m_panel;
};

const std::vector<bool> kNoneEnabled(8, false);
const std::vector<bool> kGroupEnabled{true, true, false, false, false, false, false, false};
const std::vector<bool> kShortcutEnabled{false, false, true, true, true, true, true, true};

TEST(CatalogueNamesRule, RefusesNamesThatWouldLeaveTheFolderOrOpenADevice)
{
    for (const wchar_t* safe : {L"工具", L"a.b", L"con1", L"conx.txt", L"COM10", L"nul_", L".profile", L"a b"})
        EXPECT_EQ(CheckName(safe), NameProblem::None) << safe;
    const std::tuple<const wchar_t*, NameProblem> unsafe[] = {
        {L"", NameProblem::Empty},
        {L"..\\x", NameProblem::ForbiddenCharacter},
        {L"a/b", NameProblem::ForbiddenCharacter},
        {L"a:b", NameProblem::ForbiddenCharacter},
        {L"*?\"<>|", NameProblem::ForbiddenCharacter},
        {L"a\tb", NameProblem::ForbiddenCharacter},
        {L".", NameProblem::DotName},
        {L"..", NameProblem::DotName},
        {L"名字.", NameProblem::TrailingDotOrSpace},
        {L"名字 ", NameProblem::TrailingDotOrSpace},
        {L"con", NameProblem::DeviceName},
        {L"Con.txt", NameProblem::DeviceName},
        {L"NUL .log", NameProblem::DeviceName},
        {L"lpt9", NameProblem::DeviceName},
        {L"COM1.a.b", NameProblem::DeviceName},
    };
    for (const auto& [name, problem] : unsafe)
        EXPECT_EQ(CheckName(name), problem) << name;
}

TEST_F(ManagePanelTest, OpensCentredWithItsControlsInPlaceAndOnlyTheModeChoicesEnabled)
{
    Open();
    HWND panel = m_panel->Handle();
    EXPECT_EQ(TextOf(panel), L"管理面板");
    RECT at{}, expected{123, 104, 123 + 555, 104 + 392}; // centred over the owner at 300,250, 200 x 100
    ::GetWindowRect(panel, &at);
    EXPECT_TRUE(::EqualRect(&at, &expected)) << at.left << "," << at.top << " " << at.right << "," << at.bottom;
    EXPECT_EQ(::GetWindow(panel, GW_OWNER), m_owner.get());
    EXPECT_EQ(::GetForegroundWindow(), panel);

    // Page controls are placed from the tab control's corner at 13,12.
    const std::tuple<HWND, const wchar_t*, RECT, bool> controls[] = {
        {m_panel->GroupModeRadio(), L"添加目录", {19, 41, 112, 24}, true},
        {m_panel->GroupNameLabel(), L"目录名称：", {39, 85, 80, 24}, true},
        {m_panel->GroupNameEdit(), L"", {119, 85, 168, 24}, true},
        {m_panel->AddGroupButton(), L"确定添加", {372, 84, 72, 24}, true},
        {m_panel->SeparatorLine(), L"", {23, 120, 470, 2}, true},
        {m_panel->ShortcutModeRadio(), L"添加文件", {19, 131, 112, 24}, true},
        {m_panel->ShortcutNameLabel(), L"文件名称：", {40, 165, 80, 24}, true},
        {m_panel->ShortcutNameEdit(), L"", {120, 165, 168, 24}, true},
        {m_panel->ProgramPathLabel(), L"文件地址：", {40, 197, 80, 24}, true},
        {m_panel->ProgramPathEdit(), L"", {120, 197, 283, 24}, true},
        {m_panel->BrowseButton(), L"...", {408, 197, 72, 24}, true},
        {m_panel->GroupLabel(), L"文件目录", {40, 233, 67, 24}, true},
        {m_panel->GroupCombo(), L"", {122, 232, 145, 27}, true},
        {m_panel->RefreshButton(), L"刷新", {272, 233, 72, 24}, true},
        {m_panel->AddShortcutButton(), L"确定添加", {372, 269, 72, 24}, true},
        {m_panel->OpenFavoritesButton(), L"打开收藏夹", {64, 88, 115, 24}, true},
        {m_panel->PageTabs(), L"添加项目", {0, 0, 520, 304}, true},
        {m_panel->CancelButton(), L"取消", {376, 328, 72, 24}, false},
        {m_panel->ApplyButton(), L"应用", {456, 328, 72, 24}, false},
        {m_panel->StatusLine(), L"", {13, 328, 355, 24}, false}};
    for (const auto& [control, caption, place, onTab] : controls) {
        const int dx = onTab ? 13 : 0, dy = onTab ? 12 : 0;
        const RECT want{place.left + dx, place.top + dy, place.left + dx + place.right, place.top + dy + place.bottom};
        at = PlaceIn(control, panel);
        EXPECT_TRUE(control && ::EqualRect(&at, &want) && TextOf(control) == caption)
            << caption << " at " << at.left << "," << at.top << " " << at.right - at.left << "x" << at.bottom - at.top;
    }
    // Labels, buttons and tabs bold, typed text regular, radio buttons larger.
    const std::tuple<HWND, int, int> fonts[] = {
        {m_panel->GroupNameLabel(), -14, FW_BOLD}, {m_panel->ApplyButton(), -14, FW_BOLD},
        {m_panel->PageTabs(), -14, FW_BOLD},       {m_panel->GroupNameEdit(), -14, FW_NORMAL},
        {m_panel->GroupCombo(), -14, FW_NORMAL},   {m_panel->ShortcutModeRadio(), -16, FW_BOLD}};
    for (const auto& [control, height, weight] : fonts) {
        const LOGFONTW font = FontOf(control);
        EXPECT_TRUE(font.lfHeight == height && font.lfWeight == weight && font.lfCharSet == GB2312_CHARSET &&
                    std::wstring(font.lfFaceName) == L"微软雅黑")
            << TextOf(control) << " " << font.lfHeight << " " << font.lfWeight;
    }
    wchar_t tabText[16]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = tabText;
    item.cchTextMax = 16;
    ::SendMessageW(m_panel->PageTabs(), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(tabText), L"管理项目");

    // Screen readers name a box by the label right before it; the tab control lies under the pages.
    EXPECT_EQ(::GetWindow(m_panel->GroupNameEdit(), GW_HWNDPREV), m_panel->GroupNameLabel());
    EXPECT_EQ(::GetWindow(m_panel->ProgramPathEdit(), GW_HWNDPREV), m_panel->ProgramPathLabel());
    EXPECT_EQ(::GetWindow(m_panel->GroupCombo(), GW_HWNDPREV), m_panel->GroupLabel());
    EXPECT_EQ(::GetWindow(m_panel->OpenFavoritesButton(), GW_HWNDNEXT), m_panel->PageTabs());

    // The first tab stop has the keyboard, and taking it chose nothing.
    EXPECT_EQ(Enabled(), kNoneEnabled);
    EXPECT_TRUE(!Checked(m_panel->GroupModeRadio()) && !Checked(m_panel->ShortcutModeRadio()));
    EXPECT_EQ(::GetFocus(), m_panel->GroupModeRadio());
    EXPECT_TRUE(m_shell.calls.empty());
    EXPECT_TRUE(::IsWindowVisible(m_panel->GroupModeRadio()) && !::IsWindowVisible(m_panel->OpenFavoritesButton()));
}

TEST_F(ManagePanelTest, ModesEnableTheirControlsAndChoosingAProgramFillsNameAndGroups)
{
    MakeGroup(L"甲");
    MakeGroup(L".隐藏");
    MakeGroup(L"乙");
    Open();
    Click(m_panel->GroupModeRadio());
    EXPECT_EQ(Enabled(), kGroupEnabled);
    EXPECT_TRUE(Checked(m_panel->GroupModeRadio()) && !Checked(m_panel->ShortcutModeRadio()));
    EXPECT_EQ(::GetFocus(), m_panel->GroupNameEdit());

    m_shell.program = L"C:\\A\\b.c.exe";
    Click(m_panel->ShortcutModeRadio());
    EXPECT_EQ(Enabled(), kShortcutEnabled);
    EXPECT_TRUE(!Checked(m_panel->GroupModeRadio()) && Checked(m_panel->ShortcutModeRadio()));
    EXPECT_EQ(TextOf(m_panel->ProgramPathEdit()), L"C:\\A\\b.c.exe");
    EXPECT_EQ(TextOf(m_panel->ShortcutNameEdit()), L"b.c");
    EXPECT_EQ(ComboItems(m_panel->GroupCombo()), (Lines{L"乙", L"甲"}));
    EXPECT_TRUE(::IsChild(m_panel->GroupCombo(), ::GetFocus())) << "the name is there: the group is next";
    EXPECT_EQ(m_shell.lastOwner, m_panel->Handle());

    // A cancelled dialog keeps the fields and still refreshes the groups.
    m_shell.program.clear();
    ::SetWindowTextW(m_panel->ShortcutNameEdit(), L"mine");
    MakeGroup(L"丙");
    Click(m_panel->ShortcutModeRadio());
    EXPECT_EQ(TextOf(m_panel->ShortcutNameEdit()) + L"|" + TextOf(m_panel->ProgramPathEdit()), L"mine|C:\\A\\b.c.exe");
    EXPECT_EQ(ComboItems(m_panel->GroupCombo()), (Lines{L"丙", L"乙", L"甲"}));

    // "..." alone: a name without a dot gives none; 刷新 keeps the group typed.
    m_shell.program = L"D:\\工.具\\琝make";
    Click(m_panel->BrowseButton());
    EXPECT_EQ(TextOf(m_panel->ShortcutNameEdit()) + L"|" + TextOf(m_panel->ProgramPathEdit()), L"|D:\\工.具\\琝make");
    EXPECT_EQ(::GetFocus(), m_panel->ShortcutNameEdit());
    ::SetWindowTextW(m_panel->GroupCombo(), L"乙");
    MakeGroup(L"丁");
    Click(m_panel->RefreshButton());
    EXPECT_EQ(ComboItems(m_panel->GroupCombo()).size(), 4u);
    EXPECT_EQ(TextOf(m_panel->GroupCombo()), L"乙");
    EXPECT_EQ(m_shell.calls, (Lines{L"choose", L"choose", L"choose"}));
}

TEST_F(ManagePanelTest, AddingAGroupMakesItsFolderWithoutReloadingTheList)
{
    Open();
    Click(m_panel->GroupModeRadio());
    Click(m_panel->AddGroupButton()); // no name: nothing
    EXPECT_EQ(Enabled(), kGroupEnabled);
    ::SetWindowTextW(m_panel->GroupNameEdit(), L"工具");
    Click(m_panel->AddGroupButton());
    EXPECT_EQ(catalogue::GroupFolders(m_root), Lines{L"工具"});
    EXPECT_EQ(m_reloads, 0);
    EXPECT_EQ(Enabled(), kNoneEnabled);
    EXPECT_TRUE(TextOf(m_panel->GroupNameEdit()).empty() && !Checked(m_panel->GroupModeRadio()) && Status().empty());
    EXPECT_EQ(::GetFocus(), m_panel->GroupModeRadio());

    // A folder already there is fine; a file by that name is not a group.
    ASSERT_TRUE(base::WriteFileAtomic(m_root + L"\\文件", "x"));
    for (const wchar_t* name : {L"工具", L"文件"}) {
        Click(m_panel->GroupModeRadio());
        ::SetWindowTextW(m_panel->GroupNameEdit(), name);
        // Enter on a focused button presses it, which then shows as the default one.
        ::SetFocus(m_panel->AddGroupButton());
        EXPECT_EQ(::GetWindowLongPtrW(m_panel->AddGroupButton(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        EXPECT_EQ(::GetWindowLongPtrW(m_panel->ApplyButton(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
        EXPECT_TRUE(Press(m_panel->Handle(), VK_RETURN));
    }
    EXPECT_EQ(Status(), L"未能创建目录“文件”");
    EXPECT_EQ(TextOf(m_panel->GroupNameEdit()), L"文件");
    EXPECT_EQ(Enabled(), kGroupEnabled);
    EXPECT_TRUE(m_panel->Handle() && m_reloads == 0);
}

TEST_F(ManagePanelTest, AddingAShortcutWritesExactlyThePathInTheCodePageOrUtf8)
{
    MakeGroup(L"工具");
    Open();
    m_shell.program = L"D:\\游戏\\琝.exe"; // 琝 ends in the byte of "\" in GBK
    Click(m_panel->ShortcutModeRadio());
    ::SendMessageW(m_panel->GroupCombo(), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"工具"));

    // Each field empty in turn: nothing written, nothing cleared.
    const Lines before = Tree();
    for (HWND field : {m_panel->ShortcutNameEdit(), m_panel->ProgramPathEdit(), m_panel->GroupCombo()}) {
        const std::wstring text = TextOf(field);
        ::SetWindowTextW(field, L"");
        Click(m_panel->AddShortcutButton());
        EXPECT_EQ(Tree(), before);
        EXPECT_EQ(Enabled(), kShortcutEnabled);
        ::SetWindowTextW(field, text.c_str());
    }
    Click(m_panel->AddShortcutButton());
    EXPECT_EQ(Bytes(L"工具\\琝.txt"), *base::NarrowExact(L"D:\\游戏\\琝.exe", 936));
    EXPECT_EQ(Enabled(), kNoneEnabled);
    EXPECT_EQ(TextOf(m_panel->ShortcutNameEdit()) + TextOf(m_panel->ProgramPathEdit()) +
                  TextOf(m_panel->GroupCombo()) + Status(),
              L"");
    EXPECT_FALSE(Checked(m_panel->ShortcutModeRadio()));
    EXPECT_EQ(m_reloads, 0);

    // The same name for another path replaces the file once the user says
    // so; a path GBK cannot hold goes in as UTF-8.
    m_shell.program = L"C:\\\U0001F3B5\\琝.exe";
    m_shell.replace = true;
    Click(m_panel->ShortcutModeRadio());
    ::SetWindowTextW(m_panel->GroupCombo(), L"工具");
    Click(m_panel->AddShortcutButton());
    EXPECT_EQ(m_shell.questions, Lines{L"已有同名快捷方式“琝”，要替换吗？"});
    EXPECT_EQ(m_shell.lastOwner, m_panel->Handle());
    EXPECT_EQ(Bytes(L"工具\\琝.txt"), std::string(base::kUtf8Bom) + base::ToUtf8(m_shell.program));
    EXPECT_EQ(catalogue::ReadShortcutPath(m_root + L"\\工具\\琝.txt", 936), m_shell.program);

    // A group with no folder: the fields stay and the status line says why.
    Click(m_panel->ShortcutModeRadio());
    ::SetWindowTextW(m_panel->GroupCombo(), L"没有");
    const Lines written = Tree();
    Click(m_panel->AddShortcutButton());
    EXPECT_EQ(Tree(), written);
    EXPECT_EQ(Status(), L"目录“没有”不存在，未能添加");
    EXPECT_EQ(TextOf(m_panel->ShortcutNameEdit()) + L"|" + TextOf(m_panel->GroupCombo()), L"琝|没有");
    EXPECT_EQ(Enabled(), kShortcutEnabled);
}

TEST_F(ManagePanelTest, UnsafeNamesAndGroupsWriteNothingAnywhereAndSayWhy)
{
    MakeGroup(L"工具");
    MakeGroup(L".隐藏");
    Open();
    const Lines before = Tree();
    const wchar_t* unsafe[] = {L"..\\x", L"a/b", L"con", L"名字.", L"名字 "};
    Click(m_panel->GroupModeRadio());
    for (const wchar_t* name : unsafe) {
        ::SetWindowTextW(m_panel->GroupNameEdit(), name);
        ::SetWindowTextW(m_panel->StatusLine(), L"");
        Click(m_panel->AddGroupButton());
        EXPECT_TRUE(Status().starts_with(L"目录名称不能")) << name;
        EXPECT_EQ(TextOf(m_panel->GroupNameEdit()), name);
    }
    m_shell.program = L"C:\\x.exe";
    Click(m_panel->ShortcutModeRadio());
    EXPECT_TRUE(Status().empty()) << "a new choice starts without the old reason";
    ::SetWindowTextW(m_panel->GroupCombo(), L"工具");
    for (const wchar_t* name : unsafe) {
        ::SetWindowTextW(m_panel->ShortcutNameEdit(), name);
        ::SetWindowTextW(m_panel->StatusLine(), L"");
        Click(m_panel->AddShortcutButton());
        EXPECT_TRUE(Status().starts_with(L"文件名称不能")) << name;
    }
    ::SetWindowTextW(m_panel->ShortcutNameEdit(), L"x");
    for (const wchar_t* group : {L"..", L"..\\工具", L"aux", L".隐藏"}) {
        ::SetWindowTextW(m_panel->GroupCombo(), group);
        ::SetWindowTextW(m_panel->StatusLine(), L"");
        Click(m_panel->AddShortcutButton());
        EXPECT_TRUE(Status().starts_with(L"文件目录不能")) << group;
        EXPECT_EQ(TextOf(m_panel->GroupCombo()), group);
    }
    EXPECT_EQ(Status(), L"文件目录不能以“.”开头") << "a group the list never shows";
    EXPECT_EQ(Tree(), before);
}

TEST_F(ManagePanelTest, ApplyReloadsAndClosesWhileCancelAndEscapeJustClose)
{
    Open();
    RECT tab{};
    ::SendMessageW(m_panel->PageTabs(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
        ::SendMessageW(m_panel->PageTabs(), message, MK_LBUTTON, MAKELPARAM(tab.left + 5, tab.top + 5));
    EXPECT_TRUE(::IsWindowVisible(m_panel->OpenFavoritesButton()) && !::IsWindowVisible(m_panel->GroupModeRadio()));
    Click(m_panel->OpenFavoritesButton());
    EXPECT_EQ(m_shell.calls, Lines{L"explore " + m_root});
    Click(m_panel->CancelButton());
    EXPECT_TRUE(!m_panel->Handle() && m_reloads == 0);

    ASSERT_TRUE(m_panel->Create(m_owner.get()));
    EXPECT_TRUE(Press(m_panel->Handle(), VK_ESCAPE));
    EXPECT_TRUE(!m_panel->Handle() && m_reloads == 0);

    ASSERT_TRUE(m_panel->Create(m_owner.get()));
    HWND first = m_panel->Handle();
    ASSERT_TRUE(m_panel->Create(m_owner.get()));
    EXPECT_EQ(m_panel->Handle(), first) << "an open panel is brought forward, not made twice";
    EXPECT_TRUE(Press(m_panel->Handle(), VK_RETURN)); // 应用 is the default
    EXPECT_TRUE(!m_panel->Handle() && m_reloads == 1);

    ASSERT_TRUE(m_panel->Create(m_owner.get()));
    Click(m_panel->ApplyButton());
    EXPECT_TRUE(!m_panel->Handle() && m_reloads == 2);
}

TEST_F(ManagePanelTest, FollowsItsMonitorsScaleAndComesBackAsItWasWithoutLeaking)
{
    Open();
    ASSERT_EQ(PlacesIn(m_panel->Handle()).size(), 20u);
    ExpectFollowsTheScale(m_panel->Handle(), [this] {
        RECT dropped{}, tab{};
        ::SendMessageW(m_panel->GroupCombo(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        ::SendMessageW(m_panel->PageTabs(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
        return Sizes{static_cast<LONG>(::SendMessageW(m_panel->GroupCombo(), CB_GETITEMHEIGHT, 0, 0)),
                     dropped.bottom - dropped.top, tab.bottom - tab.top};
    });
}

class DropAddWindowTest : public CatalogueWindowTest {
protected:
    DropAddWindowTest() { MakeGroup(L"工具"); }
    void Choose(const wchar_t* group)
    {
        ::SendMessageW(m_window.GroupCombo(), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(group));
    }
    [[nodiscard]] std::wstring Fields() const
    {
        return TextOf(m_window.ShortcutNameEdit()) + L"|" + TextOf(m_window.ProgramPathEdit()) + L"|" +
               TextOf(m_window.GroupCombo());
    }

    catalogue::DropAddWindow m_window{Settings()};
};

TEST_F(DropAddWindowTest, ShowsTheDroppedPathAndSavesItIntoTheChosenGroup)
{
    ASSERT_TRUE(m_window.Open(m_owner.get(), {L"C:\\Program Files\\Tool\\tool.exe"}));
    HWND window = m_window.Handle();
    EXPECT_EQ(TextOf(window), L"拖放添加");
    RECT at{}, expected{144, 195, 144 + 512, 195 + 211};
    ::GetWindowRect(window, &at);
    EXPECT_TRUE(::EqualRect(&at, &expected)) << at.left << "," << at.top << " " << at.right << "," << at.bottom;
    const std::tuple<HWND, const wchar_t*, RECT> controls[] = {
        {m_window.ShortcutNameLabel(), L"文件名称：", {28, 24, 80, 24}},
        {m_window.ShortcutNameEdit(), L"tool", {108, 24, 168, 24}},
        {m_window.ProgramPathLabel(), L"文件地址：", {28, 56, 80, 24}},
        {m_window.ProgramPathEdit(), L"C:\\Program Files\\Tool\\tool.exe", {108, 56, 283, 24}},
        {m_window.BrowseButton(), L"...", {396, 56, 72, 24}},
        {m_window.GroupLabel(), L"文件目录", {28, 92, 67, 24}},
        {m_window.GroupCombo(), L"", {110, 91, 145, 27}},
        {m_window.RefreshButton(), L"刷新", {260, 92, 72, 24}},
        {m_window.SaveButton(), L"确定", {396, 136, 72, 24}},
        {m_window.StatusLine(), L"", {28, 136, 360, 24}}};
    for (const auto& [control, caption, place] : controls) {
        const RECT want{place.left, place.top, place.left + place.right, place.top + place.bottom};
        at = PlaceIn(control, window);
        EXPECT_TRUE(control && ::EqualRect(&at, &want) && TextOf(control) == caption)
            << caption << " at " << at.left << "," << at.top << " " << at.right - at.left << "x" << at.bottom - at.top;
    }
    EXPECT_EQ(::GetWindow(m_window.ProgramPathEdit(), GW_HWNDPREV), m_window.ProgramPathLabel());
    EXPECT_EQ(ComboItems(m_window.GroupCombo()), Lines{L"工具"});
    EXPECT_EQ(::GetForegroundWindow(), window);
    EXPECT_TRUE(::IsChild(m_window.GroupCombo(), ::GetFocus())) << "the name is there: the group is next";

    Choose(L"工具");
    Click(m_window.SaveButton());
    EXPECT_EQ(Bytes(L"工具\\tool.txt"), "C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(m_reloads, 1);
    EXPECT_FALSE(m_window.Handle());
}

TEST_F(DropAddWindowTest, NothingIsSavedWithoutNamePathOrAnExistingGroup)
{
    ASSERT_TRUE(m_window.Open(m_owner.get(), {L"C:\\Tools\\make"}));
    EXPECT_EQ(Fields(), L"|C:\\Tools\\make|");
    EXPECT_EQ(::GetFocus(), m_window.ShortcutNameEdit());
    Choose(L"工具");
    const Lines before = Tree();
    Click(m_window.SaveButton());
    ::SetWindowTextW(m_window.ShortcutNameEdit(), L"make");
    ::SetWindowTextW(m_window.ProgramPathEdit(), L"");
    Click(m_window.SaveButton());
    EXPECT_EQ(Fields(), L"make||工具");

    ::SetWindowTextW(m_window.ProgramPathEdit(), L"C:\\Tools\\make");
    ::SetWindowTextW(m_window.GroupCombo(), L"没有");
    Click(m_window.SaveButton());
    EXPECT_EQ(TextOf(m_window.StatusLine()), L"目录“没有”不存在，未能添加");
    ::SetWindowTextW(m_window.ShortcutNameEdit(), L"con");
    Choose(L"工具");
    Click(m_window.SaveButton());
    EXPECT_TRUE(TextOf(m_window.StatusLine()).starts_with(L"文件名称不能"));
    EXPECT_EQ(Tree(), before);
    EXPECT_EQ(m_reloads, 0);
    ASSERT_TRUE(m_window.Handle());

    // Enter saves, and clears the reason given before.
    ::SetWindowTextW(m_window.ShortcutNameEdit(), L"make");
    ::SetFocus(m_window.ShortcutNameEdit());
    EXPECT_TRUE(Press(m_window.Handle(), VK_RETURN));
    EXPECT_EQ(Bytes(L"工具\\make.txt"), "C:\\Tools\\make");
    EXPECT_TRUE(!m_window.Handle() && m_reloads == 1);

    ASSERT_TRUE(m_window.Open(m_owner.get(), {L"C:\\a.exe"}));
    EXPECT_TRUE(Press(m_window.Handle(), VK_ESCAPE));
    EXPECT_FALSE(m_window.Handle());
    EXPECT_FALSE(m_window.Open(m_owner.get(), {}));
}

TEST_F(DropAddWindowTest, ASecondProgramOfTheSameNameReplacesTheFirstOnlyWhenTheUserSaysSo)
{
    // Saved before in UTF-8: the same path again is no change, and no question.
    const std::string saved = std::string(base::kUtf8Bom) + "C:\\甲\\setup.exe";
    ASSERT_TRUE(base::WriteFileAtomic(m_root + L"\\工具\\setup.txt", saved));
    ASSERT_TRUE(m_window.Open(m_owner.get(), {L"C:\\甲\\setup.exe", L"D:\\乙\\Setup.exe"}));
    Choose(L"工具");
    Click(m_window.SaveButton());
    EXPECT_TRUE(m_shell.questions.empty() && m_reloads == 1);
    EXPECT_EQ(Bytes(L"工具\\setup.txt"), saved);

    // Names compare as the file system's do: "Setup" is the same file.
    Click(m_window.SaveButton());
    EXPECT_EQ(m_shell.questions, Lines{L"已有同名快捷方式“Setup”，要替换吗？"});
    EXPECT_EQ(m_shell.lastOwner, m_window.Handle());
    EXPECT_EQ(Bytes(L"工具\\setup.txt"), saved);
    EXPECT_EQ(Fields() + TextOf(m_window.StatusLine()), L"Setup|D:\\乙\\Setup.exe|工具未替换“Setup”");
    EXPECT_TRUE(m_window.Handle() && m_reloads == 1);

    m_shell.replace = true;
    Click(m_window.SaveButton());
    EXPECT_EQ(m_shell.questions.size(), 2u);
    EXPECT_EQ(catalogue::FilesWithExtension(m_root + L"\\工具", L"txt").size(), 1u);
    EXPECT_EQ(catalogue::ReadShortcutPath(m_root + L"\\工具\\setup.txt", 936), L"D:\\乙\\Setup.exe");
    EXPECT_TRUE(!m_window.Handle() && m_reloads == 2);
}

TEST_F(DropAddWindowTest, FollowsItsMonitorsScaleAndComesBackAsItWasWithoutLeaking)
{
    ASSERT_TRUE(m_window.Open(m_owner.get(), {L"C:\\a.exe"}));
    ASSERT_EQ(PlacesIn(m_window.Handle()).size(), 10u);
    ExpectFollowsTheScale(m_window.Handle(), [this] {
        return Sizes{static_cast<LONG>(::SendMessageW(m_window.GroupCombo(), CB_GETITEMHEIGHT, 0, 0))};
    });
}

TEST_F(DropAddWindowTest, SeveralPathsAreShownAndSavedOneAfterAnother)
{
    ASSERT_TRUE(m_window.Open(m_owner.get(), {L"C:\\a.exe", L"C:\\琝.exe"}));
    EXPECT_EQ(Fields(), L"a|C:\\a.exe|");
    Choose(L"工具");
    Click(m_window.SaveButton());
    EXPECT_EQ(Fields(), L"琝|C:\\琝.exe|工具") << "the group chosen stays";
    EXPECT_TRUE(m_window.Handle() && m_reloads == 1);

    // A drop while open waits its turn.
    ASSERT_TRUE(m_window.Open(m_owner.get(), {L"C:\\c.exe"}));
    EXPECT_EQ(Fields(), L"琝|C:\\琝.exe|工具");
    Click(m_window.SaveButton());
    EXPECT_EQ(Fields(), L"c|C:\\c.exe|工具");
    Click(m_window.SaveButton());
    EXPECT_FALSE(m_window.Handle());
    EXPECT_EQ(m_reloads, 3);
    EXPECT_EQ(Bytes(L"工具\\a.txt") + "|" + Bytes(L"工具\\c.txt"), "C:\\a.exe|C:\\c.exe");
    EXPECT_EQ(Bytes(L"工具\\琝.txt"), *base::NarrowExact(L"C:\\琝.exe", 936));
}

} // namespace
