#include "catalogue/CatalogueNames.h"

#include <gtest/gtest.h>

using catalogue::BaseName;
using catalogue::DirectoryOf;
using catalogue::HasExtension;

// 乗, 琝 and 猏 end in 0x5C in GBK: a byte search would cut them as "\".
TEST(CatalogueNamesTest, BaseNameCutsAtTheLastDotOnly)
{
    EXPECT_EQ(BaseName(L"a.txt"), L"a");
    EXPECT_EQ(BaseName(L"a.b.txt"), L"a.b");
    EXPECT_EQ(BaseName(L"readme"), L"readme");
    EXPECT_EQ(BaseName(L".txt"), L"");
    EXPECT_EQ(BaseName(L""), L"");
    EXPECT_EQ(BaseName(L"乗琝猏.txt"), L"乗琝猏");
    EXPECT_EQ(BaseName(L"乗.琝猏.txt"), L"乗.琝猏");
}

TEST(CatalogueNamesTest, DirectoryOfKeepsTheLastBackslash)
{
    EXPECT_EQ(DirectoryOf(L"C:\\Tools\\app.exe"), L"C:\\Tools\\");
    EXPECT_EQ(DirectoryOf(L"C:\\app.exe"), L"C:\\");
    EXPECT_EQ(DirectoryOf(L"C:\\Tools\\"), L"C:\\Tools\\");
    EXPECT_EQ(DirectoryOf(L"app.exe"), L"");
    EXPECT_EQ(DirectoryOf(L""), L"");
    EXPECT_EQ(DirectoryOf(L"D:\\乗\\琝猏.exe"), L"D:\\乗\\");
    EXPECT_EQ(DirectoryOf(L"D:\\工具\\乗"), L"D:\\工具\\");
    EXPECT_EQ(DirectoryOf(L"乗琝猏.exe"), L"");
}

TEST(CatalogueNamesTest, HasExtensionComparesTheWholeLastExtensionIgnoringCase)
{
    EXPECT_TRUE(HasExtension(L"a.txt", L"txt"));
    EXPECT_TRUE(HasExtension(L"A.TXT", L"txt"));
    EXPECT_TRUE(HasExtension(L"a.b.TxT", L"txt"));
    EXPECT_TRUE(HasExtension(L"乗琝猏.txt", L"txt"));
    EXPECT_TRUE(HasExtension(L".txt", L"txt"));
    EXPECT_FALSE(HasExtension(L"notes.txtx", L"txt"));
    EXPECT_FALSE(HasExtension(L"notes.tx", L"txt"));
    EXPECT_FALSE(HasExtension(L"a.txt.bak", L"txt"));
    EXPECT_FALSE(HasExtension(L"txt", L"txt"));
    EXPECT_FALSE(HasExtension(L"a.", L"txt"));
    EXPECT_FALSE(HasExtension(L"", L"txt"));
}
