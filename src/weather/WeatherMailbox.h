#pragma once
// Where weather workers leave their results for the window thread. The
// window's message names only the fetch, so a message from anywhere else
// can never hand the window memory to free, and results whose message never
// arrives go with the mailbox. No Windows header: a mutex and a map.

#include <array>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace weather {

struct WeatherResult {
    // The three day texts as the page has them (GBK bytes); nothing on failure.
    std::optional<std::array<std::string, 3>> days;
};

// Shared by the window side and its workers; whichever lets go last frees
// what is left in it.
class WeatherMailbox {
public:
    // Window side: a worker is about to start.
    void WorkerStarting();
    // Worker side: fetch's result, then the end of the worker (also when it
    // has no result to leave).
    void Put(unsigned fetch, WeatherResult result);
    void WorkerEnded() noexcept;

    // Window side: takes fetch's result out; nothing when there is none (a
    // number no worker used, or one already taken).
    [[nodiscard]] std::optional<WeatherResult> Take(unsigned fetch);
    // Workers started and not yet ended.
    [[nodiscard]] int Running() const;
    [[nodiscard]] std::size_t Waiting() const;

private:
    mutable std::mutex m_lock;
    std::map<unsigned, WeatherResult> m_results;
    int m_running = 0;
};

} // namespace weather
