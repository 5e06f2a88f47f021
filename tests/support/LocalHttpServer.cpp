#include "LocalHttpServer.h"

#include <ws2tcpip.h>

namespace testing_support {

LocalHttpServer::LocalHttpServer()
{
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return;
    m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (m_listener == INVALID_SOCKET || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) ||
        ::listen(m_listener, 8) || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length))
        return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Run(); });
}

LocalHttpServer::~LocalHttpServer()
{
    m_stopping = true;
    if (m_listener != INVALID_SOCKET)
        ::closesocket(m_listener); // ends the accept below
    if (m_thread.joinable())
        m_thread.join();
    for (SOCKET s : m_waiting)
        ::closesocket(s);
    ::WSACleanup();
}

void LocalHttpServer::Serve(int status, std::string body)
{
    const std::lock_guard lock(m_mutex);
    m_silent = false;
    m_status = status;
    m_body = std::move(body);
}

void LocalHttpServer::StaySilent()
{
    const std::lock_guard lock(m_mutex);
    m_silent = true;
}

void LocalHttpServer::Run()
{
    while (!m_stopping) {
        const SOCKET client = ::accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        ++m_requests;
        Answer(client);
    }
}

void LocalHttpServer::Answer(SOCKET client)
{
    // The request itself does not matter: read up to its blank line.
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int read = ::recv(client, buffer, sizeof buffer, 0);
        if (read <= 0)
            break;
        request.append(buffer, read);
    }
    std::string response;
    {
        const std::lock_guard lock(m_mutex);
        if (m_silent) {
            m_waiting.push_back(client);
            return;
        }
        response = "HTTP/1.1 " + std::to_string(m_status) + " Test\r\nContent-Type: text/html\r\nContent-Length: " +
                   std::to_string(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body;
    }
    for (size_t sent = 0; sent < response.size();) {
        const int n = ::send(client, response.data() + sent, static_cast<int>(response.size() - sent), 0);
        if (n <= 0)
            break;
        sent += static_cast<size_t>(n);
    }
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
}

} // namespace testing_support
