#pragma once

// A fixed number of threads that run the calculations of the service in
// the order they were handed in, apart from the threads that accept
// connections and read requests, so that slow or heavy requests never hold
// up the reading of others. The queue holds at most one task per open
// connection, so it is bounded by the server's connection limit.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace stelmar {

class WorkPool {
public:
    explicit WorkPool(int threads);
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    // Queues `task`; false once the pool is stopping.
    bool Submit(std::function<void()> task);
    // Drops the tasks that have not started, waits for those running and
    // ends the threads. Later Submits are refused.
    void Stop();

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace stelmar
