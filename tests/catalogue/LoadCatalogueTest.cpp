#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueFolder.h"
#include "catalogue/ProgramIcons.h"

#include "base/TextFile.h"
#include "grouplist/ListFixture.h"

#include "GdiCount.h"
#include "FolderTree.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Shown = std::map<std::wstring, std::vector<std::wstring>>;

// Whether every pixel of a 32-bit BMP file from ProgramIconPicture is white.
bool PictureIsWhite(const std::vector<std::uint8_t>& bmp)
{
    constexpr size_t kPixels = 54;
    if (bmp.size() < kPixels + 32 * 32 * 4)
        return false;
    for (size_t p = kPixels; p < kPixels + 32 * 32 * 4; p += 4) {
        if (bmp[p] != 255 || bmp[p + 1] != 255 || bmp[p + 2] != 255)
            return false;
    }
    return true;
}

bool BitmapIsWhite(HBITMAP bitmap)
{
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return false;
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    const base::UniqueMemoryDc dc = base::CreateMemoryDc();
    if (!::GetDIBits(dc.get(), bitmap, 0, info.bmHeight, pixels.data(), &request, DIB_RGB_COLORS))
        return false;
    return std::all_of(pixels.begin(), pixels.end(), [](DWORD p) { return (p & 0xFFFFFF) == 0xFFFFFF; });
}

std::wstring SystemProgram(const wchar_t* name)
{
    wchar_t windows[MAX_PATH]{};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\" + name;
}

class RecordingLauncher final : public catalogue::ProgramLauncher {
public:
    bool Open(const std::wstring& path, const std::wstring& folder) override
    {
        calls.emplace_back(path, folder);
        return true;
    }
    std::vector<std::pair<std::wstring, std::wstring>> calls;
};

class LoadCatalogueTest : public testing_support::ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        ASSERT_TRUE(::CreateDirectoryW(m_root.c_str(), nullptr));
    }

    void Folder(const std::wstring& relative) const
    {
        ASSERT_TRUE(::CreateDirectoryW((m_root + L"\\" + relative).c_str(), nullptr));
    }
    void File(const std::wstring& relative, std::string_view bytes) const
    {
        ASSERT_TRUE(base::WriteFileAtomic(m_root + L"\\" + relative, bytes));
    }

    // One whole load: the groups at once, then entries and pictures as the
    // loader's timer and worker bring them.
    void Load()
    {
        if (!m_loader)
            m_loader = std::make_unique<catalogue::CatalogueLoader>(m_control);
        m_loader->Load(m_root);
        WaitUntilLoaded();
    }
    void WaitUntilLoaded()
    {
        const DWORD deadline = ::GetTickCount() + 20000;
        while (!m_loader->Done() && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
            Pump();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        ASSERT_TRUE(m_loader->Done()) << "the load did not finish";
    }

    // Group names, each with its entries as "name=signature", sorted: the
    // order the file system lists them in is not the list's to decide.
    Shown ShownGroups()
    {
        std::map<int, std::wstring> groups;
        for (const int handle : Rows()) {
            const auto item = m_control.ReadItem(handle);
            if (item && item->IsGroup())
                groups[handle] = item->name;
        }
        m_control.ExpandAllGroups();
        Shown shown;
        for (const auto& [handle, name] : groups)
            shown[name];
        for (const int handle : Rows()) {
            const auto item = m_control.ReadItem(handle);
            if (item && !item->IsGroup())
                shown[groups[item->groupHandle]].push_back(item->name + L"=" + item->signature);
        }
        m_control.CollapseAllGroups();
        for (auto& [name, entries] : shown)
            std::sort(entries.begin(), entries.end());
        return shown;
    }

    // The entry of the given name, with its avatar.
    grouplist::EntryInfo Entry(const std::wstring& name)
    {
        grouplist::EntryInfo info;
        EXPECT_EQ(m_control.GetEntryInfo(m_control.FindEntryByName(name), info), 1) << "no entry " << name;
        return info;
    }

    testing_support::TempFolder m_temp;
    std::wstring m_root = m_temp.Path() + L"\\Favorites";
    std::unique_ptr<catalogue::CatalogueLoader> m_loader;
};

} // namespace

TEST_F(LoadCatalogueTest, CountFilesCountsOnlyTxtFilesDirectlyInside)
{
    Folder(L"g");
    Folder(L"g\\inner.txt");
    Folder(L"g\\deep");
    File(L"g\\deep\\d.txt", "x");
    for (const wchar_t* name : {L"a.txt", L"B.TXT", L"x.y.txt", L"notes.txtx", L"readme", L"a.txt.bak", L"乗.txt"})
        File(std::wstring(L"g\\") + name, "x");
    EXPECT_EQ(catalogue::CountFiles(m_root + L"\\g", catalogue::kShortcutExtension), 4);
    EXPECT_EQ(catalogue::CountFiles(m_root + L"\\missing", catalogue::kShortcutExtension), 0);
}

TEST_F(LoadCatalogueTest, EachFolderIsACollapsedGroupOfItsShortcuts)
{
    Folder(L"工具");
    File(L"工具\\a.txt", "C:\\A\\a.exe");
    File(L"工具\\b.txt", "C:\\B\\b.exe");
    Folder(L"工具\\deep");
    File(L"工具\\deep\\c.txt", "C:\\c.exe");
    Folder(L"空");
    Folder(L".hidden");
    File(L".hidden\\h.txt", "C:\\h.exe");
    File(L"mp3.txt", "D:\\music\\song.mp3\r\n");
    Folder(L"杂");
    File(L"杂\\x.y.txt", "C:\\x.exe");
    File(L"杂\\C.TXT", "C:\\up.exe");
    File(L"杂\\notes.txtx", "C:\\n.exe");
    File(L"杂\\readme", "C:\\r.exe");
    Folder(L"杂\\inner.txt");

    Load();

    const std::vector<int> rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    for (const int handle : rows) {
        const auto group = m_control.ReadItem(handle);
        ASSERT_TRUE(group && group->IsGroup());
        EXPECT_FALSE(group->expanded);
    }
    EXPECT_NE(m_control.FindGroupByName(L"工具 [2]"), 0);
    EXPECT_NE(m_control.FindGroupByName(L"空 [0]"), 0);
    const Shown expected = {
        {L"工具 [2]", {L" a=C:\\A\\a.exe", L" b=C:\\B\\b.exe"}},
        {L"空 [0]", {}},
        {L"杂 [2]", {L" C=C:\\up.exe", L" x.y=C:\\x.exe"}},
    };
    EXPECT_EQ(ShownGroups(), expected);

    const grouplist::EntryInfo a = Entry(L" a");
    EXPECT_TRUE(a.online);
    EXPECT_NE(a.avatarPicture, nullptr);
}

TEST_F(LoadCatalogueTest, SignatureIsTheFileUpToAZeroByteWithoutTheBlanksAround)
{
    Folder(L"g");
    File(L"g\\crlf.txt", " C:\\Tools\\app.exe\r\n");
    File(L"g\\utf16.txt", std::string_view("\xFF\xFE" "D\0:\0\\\0\x1D\x74" ".\0e\0x\0e\0\r\0\n\0", 22)); // D:\琝.exe
    File(L"g\\large.txt", "C:\\a.exe" + std::string(64 * 1024, ' '));
    File(L"g\\zero.txt", std::string_view("C:\\z.exe\0C:\\junk.exe", 21));
    File(L"g\\bom.txt", "\xEF\xBB\xBF" "D:\\\xE7\x90\x9D\\\xE7\x8C\x8F.exe"); // D:\琝\猏.exe
    File(L"g\\empty.txt", "");
    File(L"g\\picture.txt", std::string_view("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));

    Load();

    EXPECT_EQ(Entry(L" crlf").signature, L"C:\\Tools\\app.exe") << "an editor's line break starts nothing";
    EXPECT_EQ(Entry(L" utf16").signature, L"D:\\琝.exe");
    EXPECT_EQ(Entry(L" large").signature, L"") << "over 64 KiB is no shortcut";
    // The list's document would drop the rest itself; the reader must not keep it.
    EXPECT_EQ(catalogue::ReadShortcutPath(m_root + L"\\g\\zero.txt", CP_ACP), L"C:\\z.exe");
    EXPECT_EQ(Entry(L" bom").signature, L"D:\\琝\\猏.exe");
    EXPECT_EQ(Entry(L" picture").signature, L"") << "a binary file is no path";
    const grouplist::EntryInfo empty = Entry(L" empty");
    EXPECT_EQ(empty.signature, L"");
    EXPECT_TRUE(empty.online);
    ASSERT_NE(empty.avatarPicture, nullptr);
    EXPECT_TRUE(BitmapIsWhite(empty.avatarPicture));
}

TEST_F(LoadCatalogueTest, AnsiShortcutsReadInGbkKeepTrailByteBackslashCharacters)
{
    if (::GetACP() != 936)
        GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not GBK";
    Folder(L"乗");
    File(L"乗\\琝.txt", "C:\\\x81\x5C\\\xAA\x5C.exe"); // C:\乗\猏.exe in GBK

    Load();

    const Shown expected = {{L"乗 [1]", {L" 琝=C:\\乗\\猏.exe"}}};
    EXPECT_EQ(ShownGroups(), expected);
    RecordingLauncher launcher;
    (void)catalogue::LaunchEntry(m_control, m_control.FindEntryByName(L" 琝"), launcher);
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].second, L"C:\\乗\\");
}

TEST_F(LoadCatalogueTest, ReloadingGivesTheSameListWithoutGrowingGdiObjects)
{
    Folder(L"工具");
    File(L"工具\\a.txt", "C:\\A\\a.exe");
    const std::wstring notepad = SystemProgram(L"notepad.exe"); // plain ASCII
    File(L"工具\\notepad.txt", std::string(notepad.begin(), notepad.end()));
    File(L"工具\\empty.txt", "");
    Folder(L"空");

    Load();
    const Shown first = ShownGroups();
    Load();
    EXPECT_EQ(ShownGroups(), first);
    EXPECT_EQ(Rows().size(), 2u);

    const int before = testing_support::LiveGdiObjects();
    for (int i = 0; i < 20; ++i)
        Load();
    Pump();
    EXPECT_LE(testing_support::LiveGdiObjects(), before + 2);
    EXPECT_EQ(ShownGroups(), first);
}

TEST_F(LoadCatalogueTest, LaunchesOnlyAnEntryWithAPath)
{
    const int group = m_control.AddGroup(L"g", true);
    grouplist::EntryInfo tool;
    tool.groupHandle = group;
    tool.name = L" app";
    tool.signature = L"C:\\Tools\\app.exe";
    ASSERT_EQ(m_control.AddEntry(tool), 1);
    grouplist::EntryInfo blank;
    blank.groupHandle = group;
    blank.name = L" blank";
    ASSERT_EQ(m_control.AddEntry(blank), 1);
    Pump();

    RecordingLauncher launcher;
    for (const int handle : {0, -1, group, blank.handle, tool.handle + blank.handle + 100})
        EXPECT_FALSE(catalogue::LaunchEntry(m_control, handle, launcher)) << handle;
    EXPECT_TRUE(launcher.calls.empty()) << "no item, a group, an entry without a path";

    EXPECT_TRUE(catalogue::LaunchEntry(m_control, tool.handle, launcher));
    using Call = std::pair<std::wstring, std::wstring>;
    EXPECT_EQ(launcher.calls, (std::vector<Call>{{L"C:\\Tools\\app.exe", L"C:\\Tools\\"}}));
}

TEST(ProgramIconPictureTest, IsA32BitBmpOfTheIconOnWhite)
{
    const std::wstring notepad = SystemProgram(L"notepad.exe");
    ASSERT_NE(::GetFileAttributesW(notepad.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const std::wstring& path : {notepad, std::wstring()}) {
        const std::vector<std::uint8_t> bmp = catalogue::ProgramIconPicture(path, nullptr);
        ASSERT_EQ(bmp.size(), 4150u);
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(bmp[10] | bmp[11] << 8 | bmp[12] << 16 | bmp[13] << 24, 54);
        EXPECT_EQ(bmp[28], 32) << "bits per pixel";
        EXPECT_EQ(PictureIsWhite(bmp), path.empty()) << "icon drawn for [" << path.size() << " chars]";
    }

    // Past MAX_PATH, where the shell reads no path, a program that is there
    // still shows a picture; one that is not shows none.
    testing_support::DeepTempFolder deep;
    std::wstring folder = deep.Path();
    while (folder.size() < MAX_PATH)
        folder += L"\\很深的文件夹名字0123456789";
    ASSERT_TRUE(testing_support::CreateFolders(folder));
    const std::wstring program = folder + L"\\notepad.exe";
    ASSERT_TRUE(::CopyFileW(notepad.c_str(), base::ExtendedPath(program).c_str(), FALSE));
    EXPECT_FALSE(PictureIsWhite(catalogue::ProgramIconPicture(program, nullptr)));
    EXPECT_TRUE(PictureIsWhite(catalogue::ProgramIconPicture(folder + L"\\gone.exe", nullptr)));
}

namespace {

// The pixels of a 32-bit bottom-up BMP file of size x size, top row first.
std::vector<DWORD> BmpPixels(const std::vector<std::uint8_t>& bmp, int size)
{
    std::vector<DWORD> pixels(static_cast<size_t>(size) * size);
    if (bmp.size() < 54 + pixels.size() * 4)
        return {};
    for (int y = 0; y < size; ++y) {
        const std::uint8_t* row = bmp.data() + 54 + static_cast<size_t>(size - 1 - y) * size * 4;
        std::memcpy(&pixels[static_cast<size_t>(y) * size], row, static_cast<size_t>(size) * 4);
    }
    for (DWORD& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

// Pairs of neighbouring pixels (x = 2k, 2k + 1) that differ clearly: none
// in a picture blown up to twice its size, many in one drawn at its size.
int SplitPairs(const std::vector<DWORD>& pixels, int size)
{
    const auto apart = [](DWORD a, DWORD b) {
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 24)
                return true;
        return false;
    };
    int split = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x + 1 < size; x += 2)
            split += apart(pixels[static_cast<size_t>(y) * size + x], pixels[static_cast<size_t>(y) * size + x + 1]);
    return split;
}

} // namespace

TEST(ShellIconSourceTest, ALargerSizeIsDrawnFromALargerIconNotBlownUp)
{
    const std::wstring notepad = SystemProgram(L"notepad.exe");
    catalogue::ShellIconSource source;

    for (const int size : {48, 64}) {
        SCOPED_TRACE(size);
        const std::vector<std::uint8_t> bmp = source.PictureFor(notepad, size);
        ASSERT_EQ(bmp.size(), 54u + size * size * 4u);
        EXPECT_EQ(bmp[18] | bmp[19] << 8, size) << "width";
        EXPECT_EQ(bmp[22] | bmp[23] << 8, size) << "height";
        const std::vector<DWORD> pixels = BmpPixels(bmp, size);
        const auto white = std::count(pixels.begin(), pixels.end(), 0xFFFFFFu);
        EXPECT_GT(white, size * size / 10) << "drawn on white";
        EXPECT_LT(white, size * size * 9 / 10) << "an icon is drawn";
        // Detail between pixel pairs, which a 32 px icon blown up to 64 has none of.
        EXPECT_GT(SplitPairs(pixels, size), size * size / 20);
    }

    // No program: white at the size asked.
    const std::vector<DWORD> blank = BmpPixels(source.PictureFor(L"", 64), 64);
    ASSERT_EQ(blank.size(), 64u * 64u);
    EXPECT_TRUE(std::all_of(blank.begin(), blank.end(), [](DWORD p) { return p == 0xFFFFFF; }));
}
