#include "image/IconFile.h"

#include "base/Handles.h"

#include <gtest/gtest.h>

namespace {

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found)
{
    if (!IS_INTRESOURCE(name))
        return TRUE;
    *reinterpret_cast<WORD*>(found) = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    return FALSE;
}

} // namespace

TEST(IconFileTest, AnIconGroupBecomesAnIconFileWhoseImagesLoad)
{
    // The system's own icons stand in for the program's: any module with a
    // numbered icon group will do.
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    WORD group = 0;
    ::EnumResourceNamesW(user32, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&group));
    ASSERT_NE(group, 0) << "no numbered icon group to read";

    const std::vector<unsigned char> file = image::IconFileBytes(user32, group);
    ASSERT_GE(file.size(), 6u + 16u);
    EXPECT_EQ(file[2], 1) << "type: icon";
    const size_t count = file[4] | (file[5] << 8);
    ASSERT_GE(count, 1u);
    // Every image lies within the file, right after the directory and each other.
    size_t expected = 6 + 16 * count;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* entry = file.data() + 6 + 16 * i;
        const size_t size = entry[8] | (entry[9] << 8) | (entry[10] << 16) | (entry[11] << 24);
        const size_t offset = entry[12] | (entry[13] << 8) | (entry[14] << 16) | (entry[15] << 24);
        EXPECT_EQ(offset, expected) << "image " << i;
        expected = offset + size;
        const base::UniqueIcon icon(::CreateIconFromResourceEx(const_cast<unsigned char*>(file.data()) + offset,
                                                               static_cast<DWORD>(size), TRUE, 0x00030000, 0, 0,
                                                               LR_DEFAULTCOLOR));
        EXPECT_TRUE(icon) << "image " << i;
    }
    EXPECT_EQ(expected, file.size());

    EXPECT_TRUE(image::IconFileBytes(user32, 0xFFFE).empty()) << "no such group";
}
