#include "service/ConnectionSet.h"

#include <vector>

#include "service/HttpConnection.h"

namespace stelmar {

bool ConnectionSet::Admit(const std::shared_ptr<HttpConnection>& connection, std::size_t limit)
{
    std::lock_guard lock(mutex_);
    if (open_.size() >= limit) return false;
    open_.emplace(connection.get(), connection);
    return true;
}

void ConnectionSet::Remove(const HttpConnection* connection)
{
    std::lock_guard lock(mutex_);
    if (open_.erase(connection) != 0 && open_.empty()) emptied_.notify_all();
}

std::size_t ConnectionSet::Count() const
{
    std::lock_guard lock(mutex_);
    return open_.size();
}

void ConnectionSet::ShutdownAll()
{
    std::vector<std::shared_ptr<HttpConnection>> all;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [key, connection] : open_)
            if (std::shared_ptr<HttpConnection> c = connection.lock()) all.push_back(std::move(c));
    }
    for (const std::shared_ptr<HttpConnection>& c : all) c->Shutdown();
}

bool ConnectionSet::WaitUntilEmpty(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return emptied_.wait_for(lock, timeout, [this] { return open_.empty(); });
}

}  // namespace stelmar
