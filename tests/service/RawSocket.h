#pragma once

// A client connection on raw loopback sockets for the service tests: bytes
// sent exactly as given, however malformed or slow, and the answers read
// one by one.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace stelmar::test {

class RawSocket {
public:
    // `from`: the loopback address the connection comes from, such as
    // "127.0.0.2", so that the server sees another client.
    explicit RawSocket(int port, const char* from = nullptr) : fd_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        if (from && fd_ >= 0) {
            sockaddr_in source{};
            source.sin_family = AF_INET;
            ::inet_pton(AF_INET, from, &source.sin_addr);
            if (::bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) return;
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawSocket()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    bool Connected() const { return connected_; }

    // False when the connection no longer takes bytes.
    bool Send(std::string_view bytes)
    {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // True when something (an answer, or the end of the stream) arrives
    // within `wait`.
    bool Readable(std::chrono::milliseconds wait)
    {
        if (received_.size() > 0) return true;
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, static_cast<int>(wait.count())) == 1;
    }

    // The next whole answer (status line, header fields and the body its
    // Content-Length gives, unless it answers HEAD), or what arrived of it
    // when the stream ends or `wait` passes without a byte.
    std::string Answer(std::chrono::milliseconds wait = std::chrono::milliseconds(3000), bool withBody = true)
    {
        for (;;) {
            if (const std::size_t length = CompleteLength(withBody); length != 0) {
                std::string answer = received_.substr(0, length);
                received_.erase(0, length);
                return answer;
            }
            if (!Readable(wait) || !Receive()) break;
        }
        std::string rest;
        rest.swap(received_);
        return rest;
    }

    // True when the server has closed the connection within `wait`.
    bool Closed(std::chrono::milliseconds wait)
    {
        const auto until = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) == 1 && !Receive()) return true;
        }
        return false;
    }

private:
    bool Receive()
    {
        char buffer[16384];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        received_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    // Length of the first whole answer received, or 0.
    std::size_t CompleteLength(bool withBody) const
    {
        const std::size_t end = received_.find("\r\n\r\n");
        if (end == std::string::npos) return 0;
        const std::string_view head = std::string_view(received_).substr(0, end + 4);
        if (head.starts_with("HTTP/1.1 100 ") || !withBody) return end + 4;
        const std::size_t field = head.find("\r\nContent-Length: ");
        if (field == std::string_view::npos) return 0;
        const std::size_t length = end + 4 + std::stoul(std::string(head.substr(field + 18, 12)));
        return received_.size() >= length ? length : 0;
    }

    int fd_;
    bool connected_ = false;
    std::string received_;
};

inline int StatusOfAnswer(std::string_view answer)
{
    if (!answer.starts_with("HTTP/1.1 ") || answer.size() < 12) return 0;
    return std::stoi(std::string(answer.substr(9, 3)));
}

}  // namespace stelmar::test
