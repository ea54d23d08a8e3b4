#pragma once
// Work handed over from other threads, run on the thread that pumps the
// queue (a thread without a window's event loop: the CLI, tests).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace qgm {

class TPostedQueue {
 public:
  void Post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
    ready_.notify_one();
  }
  // Runs the next piece of work arriving within `ms`; false when none did.
  bool RunNext(int ms) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !queue_.empty(); }))
      return false;
    auto work = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    work();
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace qgm
