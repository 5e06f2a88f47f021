// The built program copied into folders nested past MAX_PATH: it finds its
// catalogue there, starts a program as deep, and saves its position on close.

#include "ProgramRunner.h"
#include "RealInput.h"

#include "app/Configuration.h"
#include "base/LongPath.h"
#include "base/PathNames.h"
#include "base/Text.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Folder names of 60 characters, Chinese and Latin.
std::wstring DeepFolders(const std::wstring& name, int count)
{
    std::wstring path;
    for (int i = 0; i < count; ++i)
        path += (i ? L"\\" : L"") + name + L"-" + std::to_wstring(i) + L"-" + std::wstring(57 - name.size(), L'x');
    return path;
}

POINT RowCentre(HWND list, int row)
{
    RECT r{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return ScreenPointOf(list, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

} // namespace

TEST(DeepFolder, TheProgramLoadsItsCatalogueStartsADeepProgramAndSavesItsPosition)
{
    const ProgramCopy copy(DeepFolders(L"常用程序", 5));
    ASSERT_GT(copy.PathOf(L"Quillery.exe").size(), 300u);
    const std::wstring tools = copy.PathOf(DeepFolders(L"Tools 工具", 3));
    ASSERT_TRUE(CreateFolders(tools));
    const std::wstring recorder = tools + L"\\record_launch.exe";
    ASSERT_TRUE(::CopyFileW((BuildFolder() + L"\\record_launch.exe").c_str(),
                            base::ExtendedPath(recorder).c_str(), FALSE))
        << "build record_launch first";
    copy.AddShortcut(L"深处", L"记录", recorder);

    RunningProgram program(copy);
    ASSERT_TRUE(program.Started());
    const HWND window = program.WaitForMainWindow();
    ASSERT_TRUE(window);
    const HWND list = FindListBox(window);
    ASSERT_TRUE(list);
    const auto rows = [&] { return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); };
    ASSERT_TRUE(WaitUntil([&] { return rows() == 1; }, kPatience)) << "rows: " << rows();

    Click(RowCentre(list, 0));
    ASSERT_TRUE(WaitUntil([&] { return rows() == 2; }, kPatience)) << "the group did not open";
    DoubleClick(RowCentre(list, 1));
    const std::wstring record = base::ExtendedPath(tools + L"\\launched.txt");
    ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
        << "the shortcut's program did not start";
    // Its working folder may be given in 8.3 form; it must be its own.
    const std::optional<std::wstring> started = base::ReadTextFile(record, CP_UTF8);
    ASSERT_TRUE(started.has_value());
    std::wstring folder = base::LongPathName(*started);
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    EXPECT_EQ(::CompareStringOrdinal(folder.c_str(), -1, tools.c_str(), -1, TRUE), CSTR_EQUAL)
        << "started in " << base::ToUtf8(*started);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    const app::IniFile ini(copy.PathOf(L"Instal.ini"));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), L"50");
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), L"50");
}
