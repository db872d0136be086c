#pragma once

// What the service load runs share: stelmar-service as a child process on
// a free loopback port, plain blocking client sockets, the upload of a
// generated project, and the server's memory and CPU time from /proc.

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <arpa/inet.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "bench/GeneratedSchemes.h"
#include "calc/FlowCalculation.h"
#include "service/CalculationService.h"

namespace stelmar::bench {

// A connection to the server from the loopback address `from` (any of
// 127.0.0.0/8, so that the server sees different clients); -1 when it
// fails.
inline int Connect(int port, const char* from = "127.0.0.1")
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in source{};
    source.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &source.sin_addr);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    timeval timeout{120, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool SendAll(int fd, std::string_view bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads one answer into `answer`; false when the connection ends first.
// `pending` keeps what arrived beyond it.
inline bool ReadAnswer(int fd, std::string& pending, std::string& answer)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const std::size_t end = pending.find("\r\n\r\n");
        if (end != std::string::npos) {
            const std::size_t field = pending.find("Content-Length: ");
            if (field == std::string::npos || field > end) return false;
            const std::size_t total = end + 4 + std::strtoul(pending.c_str() + field + 16, nullptr, 10);
            if (pending.size() >= total) {
                answer.assign(pending, 0, total);
                pending.erase(0, total);
                return true;
            }
        }
        const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n <= 0) return false;
        pending.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

// The server's resident memory in MB, from /proc.
inline double ResidentMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// CPU seconds the server process has used, from /proc.
inline double CpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    // After the command: state, then 10 fields before utime and stime.
    const char* p = text.c_str() + close + 2;
    for (int field = 0; field < 11 && p; ++field) p = std::strchr(p, ' ') + 1;
    char* end = nullptr;
    const double user = std::strtod(p, &end);
    const double system = std::strtod(end, nullptr);
    return (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

inline double OwnCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Server {
    pid_t Pid = -1;
    int Port = 0;
};

// Starts stelmar-service on a free port with `options` and reads the port
// from the line it prints.
inline Server StartServer(const std::vector<std::string>& options)
{
    int out[2];
    if (::pipe(out) != 0) return {};
    Server server;
    server.Pid = ::fork();
    if (server.Pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        std::vector<const char*> argv{"stelmar-service", "--listen", "127.0.0.1:0"};
        for (const std::string& o : options) argv.push_back(o.c_str());
        argv.push_back(nullptr);
        ::execv(STELMAR_SERVICE_BINARY, const_cast<char* const*>(argv.data()));
        std::_Exit(127);
    }
    ::close(out[1]);
    std::string line;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    const std::size_t colon = line.rfind(':');
    if (colon != std::string::npos) server.Port = std::atoi(line.c_str() + colon + 1);
    return server;
}

inline void StopServer(const Server& server)
{
    ::kill(server.Pid, SIGTERM);
    ::waitpid(server.Pid, nullptr, 0);
}

inline double Percentile(const std::vector<double>& sorted, double p)
{
    return sorted.empty() ? 0.0 : sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(p * sorted.size()))];
}

// The upload of a generated tree of `areas` areas with a full report and
// precision 2, and the result line its answer must show.
struct GeneratedForm {
    std::string Request;
    std::string ResultLine;
    std::size_t ProjectBytes = 0;
};

inline GeneratedForm MakeGeneratedForm(int areas, bool keepAlive = true)
{
    TPipeLine scheme = GeneratedTree(areas);
    std::string error;
    const std::string project = ProjectText(scheme, ',', &error).value();
    scheme.Precision = 2;
    GeneratedForm upload;
    upload.ResultLine = Calculate(scheme, kServiceSeparator);
    upload.ProjectBytes = project.size();
    const std::string b = "load-run-boundary";
    auto field = [&](const std::string& name, const std::string& extra, const std::string& value) {
        return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"" + extra + "\r\n\r\n" + value +
               "\r\n";
    };
    const std::string body = field("userfile", "; filename=\"load.stm\"", project) + field("raz_vr", "", "0") +
                             field("vr_sk", "", "0") + field("full_report", "", "1") + field("prec", "", "2") + "--" +
                             b + "--\r\n";
    upload.Request = std::string("POST /obe/StelmarCalc_3000.php HTTP/1.1\r\nHost: 127.0.0.1\r\n") +
                     (keepAlive ? "" : "Connection: close\r\n") + "Content-Type: multipart/form-data; boundary=" + b +
                     "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    return upload;
}

}  // namespace stelmar::bench
