#pragma once
// A real grouped list in a real host window, for the control's tests.

#include "base/ComPtr.h"
#include "grouplist/GroupedListControl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A visible 275 x 400 popup host at (0, 0), with the list created inside.
class ListFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the control (again) with the given arguments.
    void Recreate(int mode, bool enlargeSelected = false);

    // An entry with a 40 x 40 avatar of one colour, or with no avatar.
    int AddEntry(int group, const std::wstring& name, bool online = true, std::vector<int> icons = {},
                 COLORREF avatarColour = RGB(0, 128, 255), bool withAvatar = true);

    // The row's item handle, and the rows' handles top to bottom.
    [[nodiscard]] std::vector<int> Rows() const;
    [[nodiscard]] int RowIndexOf(int handle) const;
    [[nodiscard]] int RowHeight(int row) const;
    [[nodiscard]] RECT RowRect(int row) const;

    // Processes pending messages of this thread.
    static void Pump();

    base::ComApartment m_com;
    HWND m_host = nullptr;
    HWND m_list = nullptr;
    grouplist::GroupedListControl m_control;
};

// A 24-bit BMP file of the given size, filled with one colour.
[[nodiscard]] std::vector<std::uint8_t> SolidBmp(int width, int height, COLORREF colour);

} // namespace testing_support
