#include "weather/WeatherMailbox.h"

#include <utility>

namespace weather {

void WeatherMailbox::WorkerStarting()
{
    const std::lock_guard hold(m_lock);
    ++m_running;
}

void WeatherMailbox::Put(unsigned fetch, WeatherResult result)
{
    const std::lock_guard hold(m_lock);
    m_results.insert_or_assign(fetch, std::move(result));
}

void WeatherMailbox::WorkerEnded() noexcept
{
    try {
        const std::lock_guard hold(m_lock);
        if (m_running > 0)
            --m_running;
    } catch (...) {
        // A lock that cannot be taken leaves the worker counted: no new
        // fetch starts, which is the safe side.
    }
}

std::optional<WeatherResult> WeatherMailbox::Take(unsigned fetch)
{
    const std::lock_guard hold(m_lock);
    const auto it = m_results.find(fetch);
    if (it == m_results.end())
        return std::nullopt;
    WeatherResult result = std::move(it->second);
    m_results.erase(it);
    return result;
}

int WeatherMailbox::Running() const
{
    const std::lock_guard hold(m_lock);
    return m_running;
}

std::size_t WeatherMailbox::Waiting() const
{
    const std::lock_guard hold(m_lock);
    return m_results.size();
}

} // namespace weather
