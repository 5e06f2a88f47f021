#include "base/PathParts.h"

#include <gtest/gtest.h>

TEST(PathParts, CutAtTheLastSeparatorAndDotOnCharacters)
{
    EXPECT_EQ(base::FolderOf(L"C:\\a\\b.txt"), L"C:\\a");
    EXPECT_EQ(base::FolderOf(L"C:/a/b.txt"), L"C:/a");
    EXPECT_EQ(base::FolderOf(L"b.txt"), L"");
    // 乗 is 0x81 0x5C in GBK: a byte search would cut it in half.
    EXPECT_EQ(base::FileNameOf(L"D:\\乗\\琝.mp3"), L"琝.mp3");
    EXPECT_EQ(base::StemOf(L"a.b.txt"), std::optional<std::wstring_view>(L"a.b"));
    EXPECT_EQ(base::StemOf(L"readme"), std::nullopt);
}
