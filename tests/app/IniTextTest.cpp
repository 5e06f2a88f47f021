#include "app/IniText.h"

#include <gtest/gtest.h>

using app::IniText;

TEST(IniText, ReadsValuesAsTheProfileFunctionsDo)
{
    const IniText ini(L"stray=before any section\r\n"
                      L"[Main]\r\n"
                      L"  Left  =  812  \r\n"
                      L"; top=1\r\n"
                      L"  ;Top=2\r\n"
                      L"no equals sign\r\n"
                      L"Path=\"  D:\\音乐\\a.mp3 \"\r\n"
                      L"Half=\"quoted\r\n"
                      L"Empty=\r\n"
                      L"left=second of two\r\n"
                      L"[ main ]\r\n"
                      L"Top=from the second section\r\n"
                      L"[基本配置]\r\n"
                      L"顶边=7");
    EXPECT_EQ(ini.Find(L"MAIN", L"LEFT"), L"812");
    EXPECT_EQ(ini.Find(L"main", L"Path"), L"  D:\\音乐\\a.mp3 ");
    EXPECT_EQ(ini.Find(L"main", L"Half"), L"\"quoted");
    EXPECT_EQ(ini.Find(L"main", L"Empty"), L"");
    EXPECT_EQ(ini.Find(L"基本配置", L"顶边"), L"7");
    // Comments, lines without "=", keys outside any section and keys of a
    // later same-named section are not read.
    EXPECT_EQ(ini.Find(L"main", L"top"), std::nullopt);
    EXPECT_EQ(ini.Find(L"main", L"no equals sign"), std::nullopt);
    EXPECT_EQ(ini.Find(L"", L"stray"), std::nullopt);
    EXPECT_EQ(ini.Find(L"other", L"left"), std::nullopt);
    EXPECT_EQ(ini.Get(L"main", L"top"), L"");
}

TEST(IniText, SettingValuesKeepsEveryOtherLineAsItWas)
{
    // Unix line breaks, a key spelt in another case, a blank line and a
    // comment before the next section, no break after the last line.
    IniText ini(L"; written by hand\n"
                L"[基本配置]\n"
                L"天气主机 = 127.0.0.1:8080\n"
                L"LEFT = 1\n"
                L"\n"
                L"; the next one is not ours\n"
                L"[Other]\n"
                L"x=y");
    ASSERT_TRUE(ini.Set(L"基本配置", L"left", L"812"));
    ASSERT_TRUE(ini.Set(L"基本配置", L"顶边", L"-3"));
    ASSERT_TRUE(ini.Set(L"New", L"k", L"v"));
    EXPECT_EQ(ini.Text(), L"; written by hand\n"
                          L"[基本配置]\n"
                          L"天气主机 = 127.0.0.1:8080\n"
                          L"LEFT = 812\n"
                          L"顶边=-3\n"
                          L"\n"
                          L"; the next one is not ours\n"
                          L"[Other]\n"
                          L"x=y\n"
                          L"\n"
                          L"[New]\n"
                          L"k=v");

    // Of two same-named sections the first is written; a new text gets
    // Windows line breaks.
    IniText twice(L"[a]\r\n[A]\r\nk=old\r\n");
    ASSERT_TRUE(twice.Set(L"a", L"k", L"new"));
    EXPECT_EQ(twice.Text(), L"[a]\r\nk=new\r\n[A]\r\nk=old\r\n");
    IniText empty;
    ASSERT_TRUE(empty.Set(L"s", L"k", L""));
    EXPECT_EQ(empty.Text(), L"[s]\r\nk=\r\n");
}

TEST(IniText, ValuesReadBackAsGivenAndWhatCannotIsRefused)
{
    IniText ini(L"[s]\r\n");
    for (const wchar_t* value : {L" padded ", L"\"quoted\"", L"\"", L"a=b;c", L"\t"}) {
        ASSERT_TRUE(ini.Set(L"s", L"k", value)) << value;
        EXPECT_EQ(ini.Find(L"s", L"k"), value);
    }
    const std::wstring before = ini.Text();
    EXPECT_FALSE(ini.Set(L"s", L"k", L"two\r\nlines"));
    EXPECT_FALSE(ini.Set(L"s", L"k=", L"v"));
    EXPECT_FALSE(ini.Set(L"s", L";k", L"v"));
    EXPECT_FALSE(ini.Set(L"s", L"[k]", L"v"));
    EXPECT_FALSE(ini.Set(L"s", L" k", L"v"));
    EXPECT_FALSE(ini.Set(L"s]", L"k", L"v"));
    EXPECT_FALSE(ini.Set(L"", L"k", L"v"));
    EXPECT_EQ(ini.Text(), before);
}
