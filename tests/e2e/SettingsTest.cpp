// What the built program does to an Instal.ini that a person has edited,
// or that it must not touch, when it starts and closes.

#include "ProgramRunner.h"
#include "RealInput.h"

#include "base/Handles.h"
#include "base/Text.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string_view>
#include <vector>

using namespace testing_support;

namespace {

// The actions the system reports on one file of a folder while `act` runs,
// and until none has come for a second.
std::vector<DWORD> ActionsOn(const std::wstring& folder, const std::wstring& name, const std::function<void()>& act)
{
    const base::UniqueFileHandle watched(::CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                       OPEN_EXISTING,
                                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    const base::UniqueKernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    alignas(DWORD) BYTE buffer[16384];
    const auto listen = [&] {
        ::ResetEvent(event.get());
        return ::ReadDirectoryChangesW(watched.get(), buffer, sizeof buffer, FALSE,
                                       FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE, nullptr,
                                       &overlapped, nullptr) != FALSE;
    };
    bool listening = watched && event && listen();
    EXPECT_TRUE(listening);
    act();
    std::vector<DWORD> actions;
    DWORD size = 0;
    while (listening && ::WaitForSingleObject(event.get(), 1000) == WAIT_OBJECT_0 &&
           ::GetOverlappedResult(watched.get(), &overlapped, &size, FALSE)) {
        for (const BYTE* at = buffer; size != 0;) {
            const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
            if (std::wstring_view(change->FileName, change->FileNameLength / sizeof(wchar_t)) == name)
                actions.push_back(change->Action);
            if (change->NextEntryOffset == 0)
                break;
            at += change->NextEntryOffset;
        }
        listening = listen();
    }
    if (listening && ::CancelIo(watched.get()))
        (void)::GetOverlappedResult(watched.get(), &overlapped, &size, TRUE);
    return actions;
}

POINT TopLeftOf(HWND window)
{
    const RECT r = WindowRect(window);
    return {r.left, r.top};
}

void ExpectAt(POINT p, int left, int top)
{
    EXPECT_EQ(p.x, left);
    EXPECT_EQ(p.y, top);
}

// The program is moved, then closed as the system would close it.
void MoveAndClose(const RunningProgram& program, HWND window, POINT to)
{
    ::SetWindowPos(window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

} // namespace

TEST(Settings, AHandEditedFileKeepsAllItHoldsAndIsReplacedByOneRename)
{
    // UTF-8 without a mark, as today's editors save it, with Unix line breaks.
    const auto text = [](const char* left, const char* top) {
        return std::string("; 我的设置：天气主机是手填的\n"
                           "[基本配置]\n"
                           "左边 = ") + left + "\n"
               "天气主机=127.0.0.1:1\n"
               "现行音乐=D:\\音乐\\歌曲一.mp3\n"
               "顶边=" + top + "\n"
               "\n"
               "[窗口]\n"
               "主题=蓝色\n";
    };
    const ProgramCopy copy;
    const std::wstring path = copy.PathOf(L"Instal.ini");
    ASSERT_TRUE(base::WriteFileAtomic(path, text("300", "200")));

    // Away from the top edge the window does not dock when the mouse is elsewhere.
    MoveMouseTo({10, 700});
    RunningProgram program(copy);
    const HWND window = program.WaitForMainWindow();
    ASSERT_TRUE(window);
    ExpectAt(TopLeftOf(window), 300, 200);

    const auto actions = ActionsOn(copy.Folder(), L"Instal.ini", [&] { MoveAndClose(program, window, {320, 240}); });
    EXPECT_EQ(actions, std::vector<DWORD>{FILE_ACTION_RENAMED_NEW_NAME})
        << "one save: one rename onto the file and no write into it";
    EXPECT_EQ(base::ReadFileBytes(path), text("320", "240"));
}

TEST(Settings, AFileItMayNotReplaceIsLeftByteForByte)
{
    // Chinese code page text, as the program writes it.
    const std::string head = base::NarrowExact(L"[基本配置]\r\n左边=300\r\n顶边=200\r\n", 936).value();
    std::string oversized = head;
    while (oversized.size() < 100 * 1024)
        oversized += "; " + std::string(60, '-') + "\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        DWORD attributes;
        POINT opensAt; // an oversized file is not read at all
    } cases[] = {
        {"100 KiB", oversized, FILE_ATTRIBUTE_NORMAL, {50, 50}},
        {"read-only", head, FILE_ATTRIBUTE_READONLY, {300, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramCopy copy;
        copy.AddGroup(L"常用");
        const std::wstring path = copy.PathOf(L"Instal.ini");
        ASSERT_TRUE(base::WriteFileAtomic(path, c.bytes));
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), c.attributes));

        MoveMouseTo({10, 700});
        RunningProgram program(copy);
        const HWND window = program.WaitForMainWindow();
        ASSERT_TRUE(window);
        ExpectAt(TopLeftOf(window), c.opensAt.x, c.opensAt.y);
        // The window came up whole: its catalogue is loaded.
        const HWND list = FindListBox(window);
        ASSERT_TRUE(list);
        EXPECT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }, 10000));

        MoveAndClose(program, window, {320, 240});
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY,
                  c.attributes & FILE_ATTRIBUTE_READONLY);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(base::ReadFileBytes(path) == c.bytes) << "the file was changed";
    }
}
