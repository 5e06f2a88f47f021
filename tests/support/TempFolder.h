#pragma once
// A fresh folder under %TEMP%, removed with everything in it.

#include <string>
#include <vector>

namespace testing_support {

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }
    // Names of the plain files directly inside, sorted.
    [[nodiscard]] std::vector<std::wstring> FileNames() const;

private:
    std::wstring m_path;
};

} // namespace testing_support
