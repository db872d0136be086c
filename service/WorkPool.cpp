#include "service/WorkPool.h"

#include <algorithm>

namespace stelmar {

WorkPool::WorkPool(int threads)
{
    const int count = std::max(1, threads);
    threads_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
}

WorkPool::~WorkPool() { Stop(); }

bool WorkPool::Submit(std::function<void()> task)
{
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
        tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
    return true;
}

void WorkPool::Stop()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        dropped.swap(tasks_);
    }
    ready_.notify_all();
    for (std::thread& t : threads_)
        if (t.joinable()) t.join();
    // The dropped tasks are destroyed here, outside the lock: they may own
    // the last reference to a connection.
}

void WorkPool::Work()
{
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (stopping_) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace stelmar
