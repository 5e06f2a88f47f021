#include "app/AppState.h"
#include "app/Configuration.h"
#include "app/DefaultItemPicture.h"
#include "base/Dib32.h"

#include "base/FolderListing.h"
#include "base/Handles.h"
#include "base/TextFile.h"

#include "FolderTree.h"
#include "TempFolder.h"

#include <cwchar>

#include <gtest/gtest.h>

using app::IniFile;
using app::kConfigSection;
using app::kCurrentMusicKey;

namespace {
bool Contains(const std::string& haystack, const std::string& needle)
{
    return haystack.find(needle) != std::string::npos;
}
} // namespace

TEST(Configuration, SavedItemsReadBackAndAreStoredInGbk)
{
    // The test run gives Wine code page 936, as on the program's users' systems.
    ASSERT_EQ(::GetACP(), 936u);
    testing_support::TempFolder dir;
    const IniFile ini(dir.Path() + L"\\Instal.ini");
    ASSERT_TRUE(app::SaveConfiguration(ini, {812, 0}, L"D:\\音乐\\歌曲一.mp3"));

    const POINT p = app::ReadSavedPosition(ini);
    EXPECT_EQ(p.x, 812);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(ini.Read(kConfigSection, kCurrentMusicKey), L"D:\\音乐\\歌曲一.mp3");

    const std::string bytes = base::ReadFileBytes(ini.Path()).value_or("");
    EXPECT_TRUE(Contains(bytes, "[\xBB\xF9\xB1\xBE\xC5\xE4\xD6\xC3]")) << bytes;          // [基本配置]
    EXPECT_TRUE(Contains(bytes, "\xD7\xF3\xB1\xDF=812")) << bytes;                          // 左边=812
    EXPECT_TRUE(Contains(bytes, "\xB6\xA5\xB1\xDF=0")) << bytes;                            // 顶边=0
    EXPECT_TRUE(Contains(bytes, "\xCF\xD6\xD0\xD0\xD2\xF4\xC0\xD6=D:\\\xD2\xF4\xC0\xD6\\"   // 现行音乐=D:\音乐\ ...
                                "\xB8\xE8\xC7\xFA\xD2\xBB.mp3")) << bytes;                  // 歌曲一.mp3
}

TEST(Configuration, SavingLeavesOtherItemsAlone)
{
    testing_support::TempFolder dir;
    const IniFile ini(dir.Path() + L"\\Instal.ini");
    ASSERT_TRUE(base::WriteFileAtomic(ini.Path(), "[\xBB\xF9\xB1\xBE\xC5\xE4\xD6\xC3]\r\n"
                                                  "\xD7\xF3\xB1\xDF=1\r\nkeep=me\r\n[other]\r\nx=y\r\n"));
    ASSERT_TRUE(app::SaveConfiguration(ini, {-40, 7}, L""));
    EXPECT_EQ(ini.ReadInt(kConfigSection, app::kLeftKey), -40);
    EXPECT_EQ(ini.ReadInt(kConfigSection, app::kTopKey), 7);
    EXPECT_EQ(ini.Read(kConfigSection, L"keep"), L"me");
    EXPECT_EQ(ini.Read(L"other", L"x"), L"y");
    EXPECT_EQ(ini.Read(kConfigSection, kCurrentMusicKey), L"");
}

TEST(Configuration, AFileThatCannotBeReadWhollyIsNeverReplaced)
{
    const std::string head = "[\xBB\xF9\xB1\xBE\xC5\xE4\xD6\xC3]\r\n\xD7\xF3\xB1\xDF=5\r\n"; // [基本配置] 左边=5
    const auto padded = [&](size_t size) { return head + std::string(size - head.size(), ';'); };
    struct Case {
        const char* what;
        std::string bytes;
        bool readable;
        bool saves;
    } cases[] = {
        {"room for the save", padded(64 * 1024 - 40), true, true},
        {"64 KiB: the save would not fit", padded(64 * 1024), true, false},
        {"one byte more", padded(64 * 1024 + 1), false, false},
        {"a broken GBK sequence", head + "; caf\xE9\r\n", true, false},
        {"held open by another program", head, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::TempFolder dir;
        const IniFile ini(dir.Path() + L"\\Instal.ini", 936);
        ASSERT_TRUE(base::WriteFileAtomic(ini.Path(), c.bytes));
        base::UniqueFileHandle held;
        if (std::string_view(c.what).starts_with("held"))
            held.reset(::CreateFileW(ini.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));

        EXPECT_EQ(ini.ReadInt(kConfigSection, app::kLeftKey), c.readable ? 5 : 0);
        EXPECT_EQ(app::SaveConfiguration(ini, {812, 7}, L"D:\\a.mp3"), c.saves);
        held.reset();
        if (c.saves) {
            EXPECT_EQ(ini.ReadInt(kConfigSection, app::kLeftKey), 812);
        } else {
            EXPECT_TRUE(base::ReadFileBytes(ini.Path()) == c.bytes) << "the file was changed";
        }
        EXPECT_EQ(dir.FileNames(), std::vector<std::wstring>{L"Instal.ini"}) << "no temporary file is left";
    }
}

TEST(Configuration, MissingFileOrKeysReadAsNothing)
{
    testing_support::TempFolder dir;
    const IniFile ini(dir.Path() + L"\\Instal.ini");
    const POINT p = app::ReadSavedPosition(ini);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(ini.Read(kConfigSection, kCurrentMusicKey), L"");
    EXPECT_TRUE(dir.FileNames().empty()) << "reading must not create the file";
}

TEST(Configuration, LongValuesAreReadWhole)
{
    testing_support::TempFolder dir;
    const IniFile ini(dir.Path() + L"\\Instal.ini");
    const std::wstring path = L"D:\\" + std::wstring(600, L'音') + L".mp3";
    ASSERT_TRUE(ini.Write(kConfigSection, kCurrentMusicKey, path));
    EXPECT_EQ(ini.Read(kConfigSection, kCurrentMusicKey), path);
}

TEST(Configuration, AFilePastMaxPathIsReadAndSavedLeavingNoCopies)
{
    const testing_support::DeepTempFolder dir;
    const std::wstring folder = dir.Path() + L"\\程序" + std::wstring(150, L'x') + L"\\文件夹" + std::wstring(150, L'y');
    ASSERT_TRUE(testing_support::CreateFolders(folder));
    const IniFile ini(folder + L"\\Instal.ini");
    EXPECT_EQ(ini.Read(kConfigSection, app::kLeftKey), L"");
    ASSERT_TRUE(app::SaveConfiguration(ini, {812, 7}, L"D:\\音乐\\歌.mp3"));
    ASSERT_TRUE(app::SaveConfiguration(ini, {-3, 7}, L"D:\\音乐\\歌.mp3"));
    EXPECT_EQ(app::ReadSavedPosition(ini).x, -3);
    EXPECT_EQ(ini.Read(kConfigSection, kCurrentMusicKey), L"D:\\音乐\\歌.mp3");
    EXPECT_TRUE(Contains(base::ReadFileBytes(ini.Path()).value_or(""), "\xD7\xF3\xB1\xDF=-3\r\n")); // 左边=-3

    EXPECT_EQ(base::FilesWithExtension(folder, L"tmp").size(), 0u);
    wchar_t copies[MAX_PATH + 40]{};
    ::GetTempPathW(MAX_PATH, copies);
    std::swprintf(copies + std::wcslen(copies), 40, L"qly%lx-*.tmp", ::GetCurrentProcessId());
    WIN32_FIND_DATAW found{};
    EXPECT_FALSE(base::UniqueFindHandle(::FindFirstFileW(copies, &found))) << "a copy was left in %TEMP%";
}

TEST(Configuration, PositionsParseAsLeadingDecimalIntegers)
{
    EXPECT_EQ(app::ParseDecimal(L"812"), 812);
    EXPECT_EQ(app::ParseDecimal(L"-35"), -35);
    EXPECT_EQ(app::ParseDecimal(L" 12"), 12);
    EXPECT_EQ(app::ParseDecimal(L"40px"), 40);
    EXPECT_EQ(app::ParseDecimal(L""), 0);
    EXPECT_EQ(app::ParseDecimal(L"left"), 0);
    EXPECT_EQ(app::ParseDecimal(L"99999999999"), 0);
}

TEST(DefaultPictures, TheBuiltInPictureLoadsWithItsGreyTwin)
{
    EXPECT_EQ(app::DefaultItemPicture().size(), 4856u);
    app::AppState state;
    ASSERT_TRUE(app::MakeDefaultPictures(state));
    const std::vector<DWORD> colour = base::ReadPixels32(state.defaultPictures[0].get());
    const std::vector<DWORD> grey = base::ReadPixels32(state.defaultPictures[1].get());
    ASSERT_EQ(colour.size(), 40u * 40u);
    ASSERT_EQ(grey.size(), colour.size());
    bool anyColour = false;
    for (size_t i = 0; i < grey.size(); ++i) {
        const COLORREF c = base::FromDibPixel(colour[i]);
        const COLORREF g = base::FromDibPixel(grey[i]);
        anyColour |= GetRValue(c) != GetBValue(c);
        EXPECT_EQ(GetRValue(g), GetGValue(g));
        EXPECT_EQ(GetGValue(g), GetBValue(g));
    }
    EXPECT_TRUE(anyColour) << "the picture itself is in colour";
}
