#pragma once

// The open connections of a server, so that it can count them and close
// them when it stops. Safe to use from several threads.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace stelmar {

class HttpConnection;

class ConnectionSet {
public:
    // Adds `connection` unless `limit` connections are open.
    bool Admit(const std::shared_ptr<HttpConnection>& connection, std::size_t limit);
    void Remove(const HttpConnection* connection);
    std::size_t Count() const;
    // Each connection closes now, or after the answer it is writing.
    void ShutdownAll();
    // False when connections are still open after `timeout`.
    bool WaitUntilEmpty(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;
    std::condition_variable emptied_;
    std::unordered_map<const HttpConnection*, std::weak_ptr<HttpConnection>> open_;
};

}  // namespace stelmar
