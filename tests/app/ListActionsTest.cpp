// The list's menus and keys on a real main window over a real catalogue
// folder: each command through the window's own actions, the questions
// answered by a fake, files, rows, the clipboard and the starts checked.

#include "app/Program.h"

#include "FakeListActionShell.h"
#include "MessagePump.h"
#include "TempFolder.h"
#include "base/ComPtr.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using testing_support::PumpFor;
using testing_support::PumpUntil;

struct RecordingLauncher final : catalogue::ProgramLauncher {
    bool Open(const std::wstring& path, const std::wstring&) override { return Record(path); }
    bool OpenAsAdministrator(const std::wstring& path, const std::wstring&) override { return Record(L"admin " + path); }
    bool Record(const std::wstring& call)
    {
        const std::lock_guard hold(lock);
        calls.push_back(call);
        return true;
    }
    std::vector<std::wstring> Calls()
    {
        const std::lock_guard hold(lock);
        return calls;
    }
    std::mutex lock;
    std::vector<std::wstring> calls;
};

class ListActionsTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_favorites = m_folder.Path() + L"\\Favorites";
        ASSERT_TRUE(::CreateDirectoryW(m_favorites.c_str(), nullptr));
        // A real program, so "missing" only ever means the one below.
        wchar_t self[MAX_PATH]{};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        m_program = self;
        Shortcut(L"工具", L"a", m_program);
        Shortcut(L"工具", L"b", m_program);
        Shortcut(L"工具", L"gone", L"C:\\nowhere\\gone.exe");
        ASSERT_TRUE(::CreateDirectoryW((m_favorites + L"\\空").c_str(), nullptr));

        m_window = std::make_unique<app::Program>(m_state, m_folder.Path());
        m_window->SetListActionShell(m_shell);
        m_window->SetLauncher(m_launcher);
        ASSERT_TRUE(m_window->Create());
        ASSERT_TRUE(Loaded());
    }
    void TearDown() override
    {
        m_window.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    void Shortcut(const std::wstring& group, const std::wstring& name, const std::wstring& path) const
    {
        ::CreateDirectoryW((m_favorites + L"\\" + group).c_str(), nullptr);
        ASSERT_TRUE(base::WriteTextFile(m_favorites + L"\\" + group + L"\\" + name + L".txt", path, 936));
    }
    [[nodiscard]] bool Loaded() const
    {
        return PumpUntil([&] { return m_window->Loader()->Done(); });
    }
    [[nodiscard]] bool Exists(const std::wstring& relative) const
    {
        return ::GetFileAttributesW((m_favorites + L"\\" + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    [[nodiscard]] int Entry(const std::wstring& name)
    {
        const int count = static_cast<int>(::SendMessageW(List(), LB_GETCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            const int handle = m_state.listControl.GetHandleAtRow(row);
            const auto shortcut = catalogue::ShortcutOf(m_state.listControl, handle);
            if (shortcut && shortcut->name == name)
                return handle;
        }
        return 0;
    }
    [[nodiscard]] int Group(const std::wstring& folder)
    {
        const int count = static_cast<int>(::SendMessageW(List(), LB_GETCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            const int handle = m_state.listControl.GetHandleAtRow(row);
            if (catalogue::GroupFolderOf(m_state.listControl, handle) == folder)
                return handle;
        }
        return 0;
    }
    [[nodiscard]] HWND List() { return m_state.listControl.GetWindowHandle(); }
    [[nodiscard]] std::wstring RowText(int handle)
    {
        const auto row = static_cast<WPARAM>(m_state.listControl.ReadItem(handle)->rowIndex);
        std::wstring text(static_cast<size_t>(::SendMessageW(List(), LB_GETTEXTLEN, row, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(::SendMessageW(List(), LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }
    // Typed into the rename edit as a user would, then Enter.
    void TypeIntoRename(const std::wstring& text)
    {
        HWND edit = m_state.listControl.RenameEdit();
        ASSERT_TRUE(edit);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        for (const wchar_t c : text)
            ::SendMessageW(edit, WM_CHAR, c, 0);
        ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        ::SendMessageW(edit, WM_CHAR, L'\r', 0);
        PumpFor(50);
    }
    void Run(app::ListCommand command, int item) { m_window->Actions()->Run(command, item); }

    base::ComApartment m_com;
    testing_support::TempFolder m_folder;
    std::wstring m_favorites;
    std::wstring m_program;
    app::AppState m_state;
    testing_support::FakeListActionShell m_shell;
    std::shared_ptr<RecordingLauncher> m_launcher = std::make_shared<RecordingLauncher>();
    std::unique_ptr<app::Program> m_window;
};

} // namespace

TEST_F(ListActionsTest, RenamingByTypingMovesTheFileAndKeepsTheUsersPlace)
{
    const int tools = Group(L"工具");
    m_state.listControl.ExpandGroup(tools);
    Run(app::ListCommand::Rename, Entry(L"b"));
    ASSERT_TRUE(m_state.listControl.RenameEdit()) << "the name is open for typing";

    // An existing name is refused with a word, nothing moves, the edit stays.
    TypeIntoRename(L"a");
    EXPECT_EQ(m_shell.told, std::vector<std::wstring>{L"已有同名快捷方式“a”，未能重命名"});
    EXPECT_TRUE(Exists(L"工具\\b.txt"));
    ASSERT_TRUE(m_state.listControl.RenameEdit());

    TypeIntoRename(L"编辑器");
    ASSERT_TRUE(Loaded());
    EXPECT_FALSE(m_state.listControl.RenameEdit());
    EXPECT_FALSE(Exists(L"工具\\b.txt"));
    EXPECT_EQ(base::ReadTextFile(m_favorites + L"\\工具\\编辑器.txt", 936), m_program) << "moved, content unchanged";
    // The group is still open and the renamed shortcut is the selection.
    const int renamed = Entry(L"编辑器");
    ASSERT_NE(renamed, 0) << "the group stayed open";
    EXPECT_EQ(m_state.listControl.SelectedHandle(), renamed);

    // A group renamed stays open under its new name.
    Run(app::ListCommand::Rename, Group(L"工具"));
    TypeIntoRename(L"常用");
    ASSERT_TRUE(Loaded());
    EXPECT_TRUE(Exists(L"常用\\编辑器.txt"));
    EXPECT_NE(Entry(L"编辑器"), 0);
    EXPECT_EQ(m_state.listControl.SelectedHandle(), Group(L"常用"));
}

TEST_F(ListActionsTest, DeleteAsksFirstThenRecyclesAndTheSelectionMovesOn)
{
    m_state.listControl.ExpandGroup(Group(L"工具"));
    m_shell.answer = false;
    Run(app::ListCommand::Delete, Entry(L"a"));
    EXPECT_EQ(m_shell.asked, std::vector<std::wstring>{L"确定要删除“a”吗？"});
    EXPECT_TRUE(Exists(L"工具\\a.txt")) << "否 keeps it";

    m_shell.answer = true;
    Run(app::ListCommand::Delete, Entry(L"a"));
    ASSERT_TRUE(Loaded());
    EXPECT_FALSE(Exists(L"工具\\a.txt"));
    EXPECT_EQ(Entry(L"a"), 0);
    EXPECT_EQ(m_state.listControl.SelectedHandle(), Entry(L"b")) << "the next shortcut takes the selection";

    Run(app::ListCommand::Delete, Group(L"工具"));
    EXPECT_EQ(m_shell.asked.back(), L"确定要删除分组“工具”及其中的 2 个快捷方式吗？");
    ASSERT_TRUE(Loaded());
    EXPECT_FALSE(Exists(L"工具"));
    EXPECT_EQ(Group(L"工具"), 0);
}

TEST_F(ListActionsTest, CopyPathStartAllAndRunAsAdministratorReachTheirTargets)
{
    m_state.listControl.ExpandGroup(Group(L"工具"));
    Run(app::ListCommand::CopyPath, Entry(L"a"));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    std::wstring pasted;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        pasted = static_cast<const wchar_t*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    EXPECT_EQ(pasted, m_program);

    Run(app::ListCommand::RunAsAdministrator, Entry(L"b"));
    Run(app::ListCommand::OpenLocation, Entry(L"b"));
    EXPECT_EQ(m_shell.shown, std::vector<std::wstring>{m_program});
    // Every shortcut of the group but the one whose program is gone, in list order.
    Run(app::ListCommand::StartAll, Group(L"工具"));
    ASSERT_TRUE(PumpUntil([&] { return m_launcher->Calls().size() == 3; }));
    // Each start has a thread of its own: their order is the threads'.
    std::vector<std::wstring> calls = m_launcher->Calls();
    std::sort(calls.begin(), calls.end());
    EXPECT_EQ(calls, (std::vector<std::wstring>{m_program, m_program, L"admin " + m_program}));
    EXPECT_TRUE(m_shell.asked.empty()) << "two programs start without a question";

    for (int i = 0; i < 11; ++i)
        Shortcut(L"多", L"p" + std::to_wstring(i), m_program);
    m_window->ReloadCatalogue();
    ASSERT_TRUE(Loaded());
    m_shell.answer = false;
    Run(app::ListCommand::StartAll, Group(L"多"));
    EXPECT_EQ(m_shell.asked, std::vector<std::wstring>{L"确定要启动“多”中的全部 11 个程序吗？"});
    ::Sleep(100);
    EXPECT_EQ(m_launcher->Calls().size(), 3u) << "否 starts none";
}

TEST_F(ListActionsTest, AMissingProgramIsMarkedSaidToBeGoneAndRelocated)
{
    // Only its menu offers to find the program again.
    const auto lastItem = [](HMENU menu) {
        const base::UniqueMenu owned(menu);
        wchar_t text[64]{};
        ::GetMenuStringW(menu, static_cast<UINT>(::GetMenuItemCount(menu) - 1), text, 64, MF_BYPOSITION);
        return std::wstring(text);
    };
    EXPECT_EQ(lastItem(app::MakeEntryMenu(true)), L"重新定位(&L)...");
    EXPECT_EQ(lastItem(app::MakeEntryMenu(false)), L"删除(&D)");

    m_state.listControl.ExpandGroup(Group(L"工具"));
    const int gone = Entry(L"gone");
    ASSERT_TRUE(PumpUntil([&] { return m_state.listControl.IsEntryMissing(gone); }));
    EXPECT_EQ(RowText(gone).substr(RowText(gone).size() - 8), L" (找不到程序)");
    EXPECT_FALSE(m_state.listControl.IsEntryMissing(Entry(L"a")));

    m_window->Actions()->Launch(gone);
    EXPECT_EQ(m_shell.told, std::vector<std::wstring>{L"找不到程序：C:\\nowhere\\gone.exe"});
    ::Sleep(100);
    EXPECT_TRUE(m_launcher->Calls().empty()) << "nothing is started";

    m_shell.chosen = m_program;
    Run(app::ListCommand::Relocate, gone);
    ASSERT_TRUE(Loaded());
    EXPECT_EQ(base::ReadTextFile(m_favorites + L"\\工具\\gone.txt", 936), m_program);
    const int found = Entry(L"gone");
    ASSERT_NE(found, 0);
    EXPECT_FALSE(m_state.listControl.IsEntryMissing(found)) << "the mark goes with the program back";
    EXPECT_EQ(m_state.listControl.SelectedHandle(), found);
}

TEST_F(ListActionsTest, NewGroupsAreNumberedAndOpenForNaming)
{
    Run(app::ListCommand::NewGroup, 0);
    ASSERT_TRUE(Exists(L"新建分组"));
    ASSERT_TRUE(m_state.listControl.RenameEdit()) << "named at once";
    ::SendMessageW(m_state.listControl.RenameEdit(), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpFor(50);
    EXPECT_FALSE(m_state.listControl.RenameEdit());

    Run(app::ListCommand::NewGroup, 0);
    EXPECT_TRUE(Exists(L"新建分组 (2)"));
    TypeIntoRename(L"游戏");
    ASSERT_TRUE(Loaded());
    EXPECT_TRUE(Exists(L"游戏"));
    EXPECT_FALSE(Exists(L"新建分组 (2)"));
    EXPECT_EQ(m_state.listControl.SelectedHandle(), Group(L"游戏"));
}
