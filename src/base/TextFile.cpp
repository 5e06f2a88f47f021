#include "base/TextFile.h"

#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/Text.h"

#include <windows.h>

#include <atomic>
#include <climits>
#include <cwchar>

namespace base {

std::optional<std::string> ReadFileBytes(const std::wstring& path)
{
    UniqueFileHandle file(::CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > INT_MAX)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                        &read, nullptr))
            return std::nullopt;
        if (read == 0)
            break; // the file shrank while we read it
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring CreateTemporaryFile(const std::wstring& folder)
{
    // Never reused within the process: Wine's private-profile functions
    // cache a file they have read by its name and modification time.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 1000; ++attempt) {
        wchar_t name[40]{};
        std::swprintf(name, 40, L"\\qly%lx-%x.tmp", ::GetCurrentProcessId(), counter.fetch_add(1));
        std::wstring path = folder + name;
        UniqueFileHandle file(::CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return path;
        // Left over from an earlier process of the same id: try the next name.
        if (const DWORD error = ::GetLastError(); error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return {};
    }
    return {};
}

bool WriteFileAtomic(const std::wstring& path, std::string_view bytes)
{
    if (bytes.size() > UINT_MAX)
        return false;
    std::wstring folder = FolderOf(path);
    if (folder.empty())
        folder = L".";
    const std::wstring temp = CreateTemporaryFile(folder);
    if (temp.empty())
        return false;
    const std::wstring tempPath = ExtendedPath(temp);

    bool written = false;
    {
        UniqueFileHandle file(::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            DWORD count = 0;
            written = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &count, nullptr) &&
                      count == bytes.size() && ::FlushFileBuffers(file.get());
        }
    }
    if (written && ::MoveFileExW(tempPath.c_str(), ExtendedPath(path).c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileW(tempPath.c_str());
    return false;
}

std::optional<std::wstring> ReadTextFile(const std::wstring& path, unsigned codePage)
{
    auto bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    return DecodeFileText(*bytes, codePage);
}

bool WriteTextFile(const std::wstring& path, std::wstring_view text, unsigned codePage)
{
    return WriteFileAtomic(path, EncodeFileText(text, codePage));
}

} // namespace base
