#include "catalogue/BackgroundLauncher.h"

#include "base/ComPtr.h"

#include <windows.h>

#include <objbase.h>

#include <system_error>
#include <thread>

namespace catalogue {

bool BackgroundLauncher::Open(const std::wstring& path, const std::wstring& folder)
{
    return Start(path, folder, false);
}

bool BackgroundLauncher::OpenAsAdministrator(const std::wstring& path, const std::wstring& folder)
{
    return Start(path, folder, true);
}

bool BackgroundLauncher::Start(const std::wstring& path, const std::wstring& folder, bool elevated)
{
    if (!m_inner)
        return false;
    try {
        std::thread([inner = m_inner, path, folder, elevated] {
            // The shell's verbs may use COM objects that want an apartment.
            const base::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
            (void)(elevated ? inner->OpenAsAdministrator(path, folder) : inner->Open(path, folder));
        }).detach();
    } catch (const std::system_error&) {
        return false; // no thread to be had: the start is lost, the window is not
    }
    return true;
}

} // namespace catalogue
