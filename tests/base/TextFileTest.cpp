#include "base/TextFile.h"

#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

using base::ReadFileBytes;
using base::ReadTextFile;
using base::WriteFileAtomic;
using base::WriteTextFile;

TEST(TextFile, WritesReadsAndReplacesWholeFiles)
{
    testing_support::TempFolder dir;
    const std::wstring path = dir.Path() + L"\\mp3.txt";
    EXPECT_FALSE(ReadFileBytes(path).has_value());

    ASSERT_TRUE(WriteFileAtomic(path, std::string("first\r\nsecond")));
    EXPECT_EQ(ReadFileBytes(path), "first\r\nsecond");
    ASSERT_TRUE(WriteFileAtomic(path, std::string("x")));
    EXPECT_EQ(ReadFileBytes(path), "x");
    ASSERT_TRUE(WriteFileAtomic(path, std::string()));
    EXPECT_EQ(ReadFileBytes(path), "");
    // No temporary file is left beside it.
    EXPECT_EQ(dir.FileNames(), std::vector<std::wstring>{L"mp3.txt"});
}

TEST(TextFile, AFailedWriteLeavesNothingAndSaysSo)
{
    testing_support::TempFolder dir;
    EXPECT_FALSE(WriteFileAtomic(dir.Path() + L"\\missing\\a.txt", "data"));
    // The temporary file is written, but a folder of that name cannot be replaced.
    const std::wstring folder = dir.Path() + L"\\Favorites";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(WriteFileAtomic(folder, "data"));
    EXPECT_TRUE(dir.FileNames().empty());
    EXPECT_NE(::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(TextFile, TextGoesThroughTheCodePageRules)
{
    testing_support::TempFolder dir;
    const std::wstring path = dir.Path() + L"\\工具.txt";
    ASSERT_TRUE(WriteTextFile(path, L"C:\\程序\\app.exe", 936));
    EXPECT_EQ(ReadFileBytes(path), "C:\\\xB3\xCC\xD0\xF2\\app.exe");
    EXPECT_EQ(ReadTextFile(path, 936), L"C:\\程序\\app.exe");

    ASSERT_TRUE(WriteTextFile(path, L"C:\\ก\\app.exe", 936));
    EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF" "C:\\\xE0\xB8\x81\\app.exe");
    EXPECT_EQ(ReadTextFile(path, 936), L"C:\\ก\\app.exe");
}

TEST(TextFile, AReadWithinALimitSaysWhyItGaveNothing)
{
    testing_support::TempFolder dir;
    const std::wstring path = dir.Path() + L"\\Instal.ini";
    base::ReadError why = base::ReadError::Failed;
    EXPECT_FALSE(ReadFileBytes(path, 10, &why).has_value());
    EXPECT_EQ(why, base::ReadError::Missing);
    EXPECT_FALSE(ReadFileBytes(dir.Path() + L"\\none\\a.txt", 10, &why).has_value());
    EXPECT_EQ(why, base::ReadError::Missing);

    ASSERT_TRUE(WriteFileAtomic(path, std::string(10, 'x')));
    EXPECT_EQ(ReadFileBytes(path, 10, &why), std::string(10, 'x'));
    EXPECT_EQ(why, base::ReadError::None);
    EXPECT_FALSE(base::ReadText(path, 936, 9, &why).has_value());
    EXPECT_EQ(why, base::ReadError::TooLarge);
    // A folder is no file to read, and not a missing one either.
    EXPECT_FALSE(ReadFileBytes(dir.Path(), 10, &why).has_value());
    EXPECT_NE(why, base::ReadError::Missing);
}
