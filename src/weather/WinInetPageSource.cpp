#include "weather/PageSource.h"

#include "base/Handles.h"

#include <windows.h>

#include <wininet.h>

namespace weather {

namespace {

inline void CloseInternet(HINTERNET handle) noexcept
{
    ::InternetCloseHandle(handle);
}
using UniqueInternet = base::UniqueHandle<base::detail::NullTraits<HINTERNET, CloseInternet>>;

void SetTimeouts(HINTERNET handle, DWORD ms)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        (void)::InternetSetOptionW(handle, option, &ms, sizeof ms);
}

} // namespace

std::optional<std::string> WinInetPageSource::Fetch(const std::wstring& url)
{
    const ULONGLONG deadline = ::GetTickCount64() + m_timeoutMs;
    const auto remaining = [deadline]() -> DWORD {
        const ULONGLONG now = ::GetTickCount64();
        return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    };

    UniqueInternet session(::InternetOpenW(L"Quillery", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return std::nullopt;
    SetTimeouts(session.get(), m_timeoutMs);
    UniqueInternet request(::InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0,
                                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES |
                                                  INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_AUTO_REDIRECT,
                                              0));
    if (!request)
        return std::nullopt;

    // WinINet hands over a 404 page like any other: only a 2xx is the forecast.
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status < 200 || status > 299)
        return std::nullopt;

    std::string body;
    char chunk[16384];
    for (;;) {
        const DWORD left = remaining();
        if (left == 0)
            return std::nullopt;
        SetTimeouts(request.get(), left);
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), chunk, sizeof chunk, &read))
            return std::nullopt;
        if (read == 0)
            return body;
        if (body.size() + read > m_maxBytes)
            return std::nullopt;
        body.append(chunk, read);
    }
}

} // namespace weather
