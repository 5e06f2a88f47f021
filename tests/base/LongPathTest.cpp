#include "base/LongPath.h"

#include <gtest/gtest.h>

using base::ExtendedPath;
using base::WithoutExtendedPrefix;

namespace {

// Five folders of 60 characters: past MAX_PATH wherever they start.
std::wstring DeepTail(wchar_t separator = L'\\')
{
    std::wstring tail;
    for (wchar_t c = L'a'; c < L'f'; ++c)
        tail += separator + (L"很长的文件夹名称-" + std::wstring(51, c));
    return tail;
}

} // namespace

TEST(LongPath, ShortRelativeAndPrefixedPathsStayAsTheyAre)
{
    EXPECT_EQ(ExtendedPath(L"C:\\Tools\\..\\a.exe"), L"C:\\Tools\\..\\a.exe");
    const std::wstring tail = DeepTail();
    for (const std::wstring& path : {L"Favorites" + tail, L"C:Favorites" + tail, tail, L"\\\\?\\C:" + tail,
                                     L"\\\\?\\UNC\\server\\share" + tail, L"\\\\.\\C:" + tail,
                                     L"\\\\" + std::wstring(300, L'x')})
        EXPECT_EQ(ExtendedPath(path), path);
}

TEST(LongPath, LongDriveAndUncPathsGetThePrefixAndTheNamesTheSystemWouldRead)
{
    const std::wstring tail = DeepTail();
    EXPECT_EQ(ExtendedPath(L"C:" + tail), L"\\\\?\\C:" + tail);
    EXPECT_EQ(ExtendedPath(L"\\\\server\\share" + tail), L"\\\\?\\UNC\\server\\share" + tail);
    // "\\?\" takes every character literally: the path must already be the
    // one the system would have made of slashes, "." and "..".
    EXPECT_EQ(ExtendedPath(L"d:/x/./y/../z" + DeepTail(L'/') + L"//"), L"\\\\?\\d:\\x\\z" + tail + L"\\");
    EXPECT_EQ(ExtendedPath(L"\\\\server/share\\..\\..\\x" + tail), L"\\\\?\\UNC\\server\\share\\x" + tail);
    EXPECT_EQ(ExtendedPath(L"C:\\x" + tail + L"\\..\\..\\..\\..\\..\\..\\..\\.."), L"\\\\?\\C:\\");

    EXPECT_EQ(WithoutExtendedPrefix(ExtendedPath(L"C:" + tail)), L"C:" + tail);
    EXPECT_EQ(WithoutExtendedPrefix(ExtendedPath(L"\\\\server\\share" + tail)), L"\\\\server\\share" + tail);
    EXPECT_EQ(WithoutExtendedPrefix(L"\\\\.\\pipe\\x"), L"\\\\.\\pipe\\x");
}
