#pragma once
// A tiny HTTP server on 127.0.0.1 for tests: it answers every request with
// the response it is given, or accepts and never answers at all.

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class LocalHttpServer {
public:
    LocalHttpServer(); // listening on a free port once constructed
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;
    ~LocalHttpServer();

    [[nodiscard]] unsigned short Port() const noexcept { return m_port; }
    [[nodiscard]] bool Listening() const noexcept { return m_port != 0; }

    // From now on every request gets this status and body.
    void Serve(int status, std::string body);
    // From now on connections are accepted and left waiting.
    void StaySilent();
    [[nodiscard]] int Requests() const noexcept { return m_requests; }

private:
    void Run();
    void Answer(SOCKET client);

    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::mutex m_mutex;
    bool m_silent = false;
    int m_status = 200;
    std::string m_body;
    std::vector<SOCKET> m_waiting; // silent connections, closed at the end
    std::atomic<int> m_requests{0};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace testing_support
