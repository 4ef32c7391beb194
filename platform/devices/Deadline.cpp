#include "Deadline.h"

#include <utility>

Deadline::Deadline(std::chrono::seconds limit, std::function<void()> onExpiry)
    : watcher_([this, limit, action = std::move(onExpiry)] {
          std::unique_lock lock(mutex_);
          if (wake_.wait_for(lock, limit, [this] { return cancelled_; })) {
              return;
          }
          expired_ = true;
          lock.unlock();
          action();
      }) {}

Deadline::~Deadline() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
    watcher_.join();
}

bool Deadline::expired() const {
    const std::lock_guard lock(mutex_);
    return expired_;
}
