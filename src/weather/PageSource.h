#pragma once
// Where the weather page comes from: the network in the program, a fake in
// tests. Called on the weather worker thread.

#include <cstddef>
#include <optional>
#include <string>

namespace weather {

class PageSource {
public:
    virtual ~PageSource() = default;
    // The whole body of a successful (2xx) response as bytes, or nothing.
    [[nodiscard]] virtual std::optional<std::string> Fetch(const std::wstring& url) = 0;
};

// An HTTP GET through WinINet that gives up after timeoutMs in all
// (connecting, waiting and reading) and refuses bodies over maxBytes.
class WinInetPageSource final : public PageSource {
public:
    static constexpr unsigned kDefaultTimeoutMs = 15000;
    static constexpr std::size_t kDefaultMaxBytes = 1u << 20;

    explicit WinInetPageSource(unsigned timeoutMs = kDefaultTimeoutMs, std::size_t maxBytes = kDefaultMaxBytes)
        : m_timeoutMs(timeoutMs), m_maxBytes(maxBytes)
    {
    }
    [[nodiscard]] std::optional<std::string> Fetch(const std::wstring& url) override;

private:
    unsigned m_timeoutMs;
    std::size_t m_maxBytes;
};

} // namespace weather
