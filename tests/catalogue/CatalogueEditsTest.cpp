// Renaming, recycling and naming in real catalogue folders, and which
// programs count as gone.

#include "catalogue/CatalogueEdits.h"
#include "catalogue/CatalogueFolder.h"

#include "base/FolderListing.h"
#include "base/TextFile.h"

#include "FolderTree.h"
#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using catalogue::EditResult;

std::vector<std::wstring> Sorted(std::vector<std::wstring> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

class CatalogueEditsTest : public ::testing::Test {
protected:
    void Write(const std::wstring& relative, const std::string& text) const
    {
        ASSERT_TRUE(base::WriteFileAtomic(m_root + L"\\" + relative, text));
    }
    [[nodiscard]] std::string Read(const std::wstring& relative) const
    {
        return base::ReadFileBytes(m_root + L"\\" + relative, 1024).value_or("<none>");
    }
    void Folder(const std::wstring& relative) const
    {
        ASSERT_TRUE(::CreateDirectoryW((m_root + L"\\" + relative).c_str(), nullptr));
    }

    testing_support::TempFolder m_temp;
    const std::wstring& m_root = m_temp.Path();
};

// Where Wine puts what the shell recycles: the desktop's trash of the user
// running it. Empty when not under Wine.
std::wstring WineTrash()
{
    using ToDos = WCHAR*(CDECL*)(const char*);
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos)
        return {};
    char xdg[1024]{};
    if (const DWORD n = ::GetEnvironmentVariableA("XDG_DATA_HOME", xdg, sizeof xdg); n > 0 && n < sizeof xdg) {
        WCHAR* dos = toDos(xdg);
        const std::wstring trash = dos ? std::wstring(dos) + L"\\Trash" : L"";
        ::HeapFree(::GetProcessHeap(), 0, dos);
        return trash;
    }
    wchar_t home[1024]{}; // "\??\Z:\home\..."
    const DWORD n = ::GetEnvironmentVariableW(L"WINEHOMEDIR", home, 1024);
    return n > 4 && n < 1024 ? std::wstring(home + 4) + L"\\.local\\share\\Trash" : L"";
}

} // namespace

TEST_F(CatalogueEditsTest, RenamesMoveWithinTheirFolderAndNeverOverwrite)
{
    Folder(L"g");
    Write(L"g\\a.txt", "C:\\a.exe");
    Write(L"g\\b.txt", "C:\\b.exe");
    EXPECT_EQ(catalogue::RenameShortcut(m_root, L"g", L"a", L"B"), EditResult::NameTaken);
    EXPECT_EQ(catalogue::RenameShortcut(m_root, L"g", L"a", L"..\\x"), EditResult::RefusedName);
    EXPECT_EQ(catalogue::RenameShortcut(m_root, L"..", L"g\\a", L"x"), EditResult::Missing);
    EXPECT_EQ(catalogue::RenameShortcut(m_root, L"g", L"gone", L"x"), EditResult::Missing);
    EXPECT_EQ(Read(L"g\\a.txt"), "C:\\a.exe");
    EXPECT_EQ(Read(L"g\\b.txt"), "C:\\b.exe");

    EXPECT_EQ(catalogue::RenameShortcut(m_root, L"g", L"a", L"记事本"), EditResult::Done);
    EXPECT_EQ(catalogue::RenameShortcut(m_root, L"g", L"b", L"B"), EditResult::Done);
    EXPECT_EQ(Sorted(base::FilesWithExtension(m_root + L"\\g", L"txt")), (std::vector<std::wstring>{L"B.txt", L"记事本.txt"}))
        << "a change of case is seen in the listing, and no stop-over is left";
    EXPECT_EQ(Read(L"g\\记事本.txt"), "C:\\a.exe");
    EXPECT_EQ(Read(L"g\\B.txt"), "C:\\b.exe");

    Folder(L"taken");
    EXPECT_EQ(catalogue::RenameGroup(m_root, L"g", L"TAKEN"), EditResult::NameTaken);
    EXPECT_EQ(catalogue::RenameGroup(m_root, L"g", L".hidden"), EditResult::RefusedName);
    EXPECT_EQ(catalogue::RenameGroup(m_root, L"g\\记事本.txt", L"x"), EditResult::Missing);
    EXPECT_EQ(catalogue::RenameGroup(m_root, L"g", L"工具"), EditResult::Done);
    EXPECT_EQ(catalogue::RenameGroup(m_root, L"taken", L"Taken"), EditResult::Done);
    EXPECT_EQ(Sorted(base::SubfolderNames(m_root)), (std::vector<std::wstring>{L"Taken", L"工具"}));
    EXPECT_EQ(Read(L"工具\\B.txt"), "C:\\b.exe");

    EXPECT_EQ(catalogue::UnusedGroupName(m_root), L"新建分组");
    Folder(L"新建分组");
    Write(L"新建分组 (2)", "a file blocks the name as well");
    EXPECT_EQ(catalogue::UnusedGroupName(m_root), L"新建分组 (3)");
}

TEST_F(CatalogueEditsTest, RecycledShortcutsAndGroupsLeaveTheCatalogueForTheTrash)
{
    // Names of their own: the trash outlives the test.
    const std::wstring stamp = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount());
    const std::wstring group = L"组-" + stamp;
    const std::wstring shortcut = L"快捷-" + stamp + L".txt";
    Folder(group);
    Write(group + L"\\inner.txt", "C:\\inner.exe");
    Write(shortcut, "C:\\one.exe");

    // A relative path, though the process stands where it names the shortcut.
    wchar_t standing[MAX_PATH]{};
    ASSERT_TRUE(::GetCurrentDirectoryW(MAX_PATH, standing) && ::SetCurrentDirectoryW(m_root.c_str()));
    EXPECT_FALSE(catalogue::MoveToRecycleBin(shortcut));
    ::SetCurrentDirectoryW(standing);
    EXPECT_FALSE(catalogue::MoveToRecycleBin(m_root + L"\\" + std::wstring(260, L'x')));

    ASSERT_TRUE(catalogue::MoveToRecycleBin(m_root + L"\\" + shortcut));
    ASSERT_TRUE(catalogue::MoveToRecycleBin(m_root + L"\\" + group + L"\\"));
    EXPECT_TRUE(catalogue::GroupFolders(m_root).empty());
    EXPECT_TRUE(base::FilesWithExtension(m_root, L"txt").empty());

    const std::wstring trash = WineTrash();
    if (trash.empty())
        return; // Windows keeps its recycle bin to itself
    const auto inTrash = [&](const std::wstring& relative) {
        return base::ReadFileBytes(trash + L"\\files\\" + relative, 1024).value_or("<none>");
    };
    EXPECT_EQ(inTrash(shortcut), "C:\\one.exe");
    EXPECT_EQ(inTrash(group + L"\\inner.txt"), "C:\\inner.exe");
    testing_support::RemoveFolderTree(trash + L"\\files\\" + group);
    for (const std::wstring& file : {L"files\\" + shortcut, L"info\\" + shortcut + L".trashinfo",
                                     L"info\\" + group + L".trashinfo"})
        (void)::DeleteFileW((trash + L"\\" + file).c_str());
}

TEST(IsMissingProgramTest, OnlyALocalPathTheFileSystemCannotFindIsMissingAndTheAnswerComesAtOnce)
{
    const testing_support::TempFolder temp;
    const std::wstring present = temp.Path() + L"\\present.exe";
    ASSERT_TRUE(base::WriteFileAtomic(present, "MZ"));
    EXPECT_FALSE(catalogue::IsMissingProgram(present));
    EXPECT_FALSE(catalogue::IsMissingProgram(temp.Path()));
    EXPECT_TRUE(catalogue::IsMissingProgram(temp.Path() + L"\\gone.exe"));
    EXPECT_TRUE(catalogue::IsMissingProgram(temp.Path() + L"\\gone\\app.exe"));

    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(catalogue::IsMissingProgram(L"\\\\server\\share\\x.exe"));
    EXPECT_FALSE(catalogue::IsMissingProgram(L"\\\\?\\UNC\\192.0.2.1\\share\\x.exe"));
    EXPECT_LT(::GetTickCount() - start, 100u);
    EXPECT_FALSE(catalogue::IsMissingProgram(L"no-such-program-on-path.exe"));
    EXPECT_FALSE(catalogue::IsMissingProgram(L""));
    for (wchar_t letter = L'Z'; letter > L'C'; --letter) {
        const std::wstring root = {letter, L':', L'\\'};
        if (::GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR) {
            EXPECT_FALSE(catalogue::IsMissingProgram(root + L"gone.exe")) << "a drive that is not there";
            break;
        }
    }
}
