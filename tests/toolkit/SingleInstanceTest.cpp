#include "toolkit/SingleInstance.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

using toolkit::SingleInstance;

TEST(SingleInstance, OneNamePerProgramFileHoweverItIsSpelt)
{
    testing_support::TempFolder dir;
    const std::wstring exe = dir.Path() + L"\\Quillery Program.exe";
    base::UniqueFileHandle file(::CreateFileW(exe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file);
    file.reset();

    const std::wstring name = SingleInstance::MutexNameFor(exe);
    EXPECT_EQ(SingleInstance::MutexNameFor(L"C:\\Tools\\QUILLERY.EXE"),
              SingleInstance::MutexNameFor(L"c:\\tools\\quillery.exe"));
    EXPECT_NE(SingleInstance::MutexNameFor(L"C:\\Tools\\Quillery.exe"),
              SingleInstance::MutexNameFor(L"C:\\Other\\Quillery.exe"));
    wchar_t shortPath[MAX_PATH]{};
    if (::GetShortPathNameW(exe.c_str(), shortPath, MAX_PATH) && exe != shortPath) {
        EXPECT_EQ(SingleInstance::MutexNameFor(shortPath), name);
    }
    // Kernel object names may not contain a backslash beyond the namespace prefix.
    EXPECT_EQ(name.find(L'\\'), name.find_last_of(L'\\'));
}

TEST(SingleInstance, TheSecondClaimOnAPathSeesTheFirst)
{
    const std::wstring path = L"C:\\qly-single-instance-test\\Quillery.exe";
    {
        SingleInstance first(path);
        EXPECT_FALSE(first.AnotherIsRunning());
        SingleInstance second(path);
        EXPECT_TRUE(second.AnotherIsRunning());
        SingleInstance elsewhere(L"C:\\qly-other\\Quillery.exe");
        EXPECT_FALSE(elsewhere.AnotherIsRunning());
    }
    // Released with its owner: a later start is the only one again.
    SingleInstance later(path);
    EXPECT_FALSE(later.AnotherIsRunning());
}
