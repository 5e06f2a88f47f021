#include "base/TextFile.h"

#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/Text.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cwchar>

namespace base {

std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes, ReadError* error)
{
    ReadError ignored = ReadError::None;
    ReadError& why = error ? *error : ignored;
    why = ReadError::None;
    UniqueFileHandle file(::CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = ::GetLastError();
        why = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? ReadError::Missing : ReadError::Failed;
        return std::nullopt;
    }
    const std::size_t limit = std::min<std::size_t>(maxBytes, INT_MAX);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        why = ReadError::Failed;
        return std::nullopt;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > limit) {
        why = ReadError::TooLarge;
        return std::nullopt;
    }
    // One byte of room beyond the size shows a file that grew while we read it.
    std::string bytes(static_cast<size_t>(size.QuadPart) + 1, '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                        &read, nullptr)) {
            why = ReadError::Failed;
            return std::nullopt;
        }
        if (read == 0)
            break; // the end, or the file shrank while we read it
        done += read;
        if (done > limit) {
            why = ReadError::TooLarge;
            return std::nullopt;
        }
        if (done == bytes.size())
            bytes.resize(std::min(bytes.size() * 2, limit + 1));
    }
    bytes.resize(done);
    return bytes;
}

std::wstring CreateTemporaryFile(const std::wstring& folder)
{
    // Never reused within the process, so two threads writing beside each
    // other never share one.
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

std::optional<DecodedText> ReadText(const std::wstring& path, unsigned codePage, std::size_t maxBytes,
                                    ReadError* error)
{
    auto bytes = ReadFileBytes(path, maxBytes, error);
    if (!bytes)
        return std::nullopt;
    return DecodeFile(*bytes, codePage);
}

std::optional<std::wstring> ReadTextFile(const std::wstring& path, unsigned codePage, std::size_t maxBytes,
                                         ReadError* error)
{
    auto text = ReadText(path, codePage, maxBytes, error);
    if (!text)
        return std::nullopt;
    return std::move(text->text);
}

bool WriteTextFile(const std::wstring& path, std::wstring_view text, unsigned codePage)
{
    return WriteFileAtomic(path, EncodeFileText(text, codePage));
}

bool WriteTextFile(const std::wstring& path, std::wstring_view text, TextEncoding encoding, unsigned codePage)
{
    return WriteFileAtomic(path, EncodeFileText(text, encoding, codePage));
}

} // namespace base
