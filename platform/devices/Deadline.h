#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Calls onExpiry from a thread of its own unless it is destroyed within the limit. A run that
// hangs on a device is ended by cutting the device off, so a test can fail but never hang.
class Deadline {
public:
    Deadline(std::chrono::seconds limit, std::function<void()> onExpiry);
    ~Deadline();
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    bool expired() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool cancelled_ = false;
    bool expired_ = false;
    std::thread watcher_;
};
