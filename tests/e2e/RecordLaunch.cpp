// A stand-in program for shortcuts in the end-to-end tests: it writes the
// folder it was started in, as UTF-8, to launched.txt beside itself, so a
// test can see both that it was started and with which working folder.

#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

std::wstring CurrentFolder()
{
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

std::wstring OwnFolder()
{
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\'));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string text = Utf8(CurrentFolder());
    const std::wstring folder = OwnFolder();
    const std::wstring partial = folder + L"\\launched.tmp";
    const std::wstring done = folder + L"\\launched.txt";
    // Written under another name first: a test polling for launched.txt
    // must never read half of it.
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    ::CloseHandle(file);
    if (!ok || !::MoveFileExW(partial.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING))
        return 1;
    return 0;
}
