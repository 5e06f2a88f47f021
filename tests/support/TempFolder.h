#pragma once
// A fresh folder under %TEMP%, removed with everything in it.

#include "ScratchFolder.h"

#include <string>
#include <vector>

namespace testing_support {

class TempFolder {
public:
    TempFolder(); // a test that cannot have its folder fails
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::wstring& Path() const noexcept { return m_folder.Path(); }
    // Names of the plain files directly inside, sorted.
    [[nodiscard]] std::vector<std::wstring> FileNames() const;

private:
    ScratchFolder m_folder;
};

} // namespace testing_support
