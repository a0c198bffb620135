// The thread that owns the history database: every database call runs here, in the order the
// jobs were posted, so the windows only post work and take answers. The keeper (and with it the
// database) is made on this thread too: opening a large file is not the window's business.
// Ending the thread runs the jobs still queued first, so a pass handed over is never lost.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "monitor/history_keeper.h"

namespace velmora {

class HistoryThread {
 public:
  using Job = std::function<void(HistoryKeeper&)>;

  explicit HistoryThread(HistoryPlace place);
  ~HistoryThread();
  HistoryThread(const HistoryThread&) = delete;
  HistoryThread& operator=(const HistoryThread&) = delete;

  void Post(Job job);

 private:
  void Run(HistoryPlace place);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool ending_ = false;
  std::thread thread_;
};

// Answers from the history thread to one window: put there by jobs, taken by the window when
// `wake` (posting it a message) says they are waiting. Jobs hold it shared, so a window may go
// while its answers are on their way: it calls Close and nothing wakes it any more.
template <typename Answer>
class HistoryMailbox {
 public:
  explicit HistoryMailbox(std::function<void()> wake) : wake_(std::move(wake)) {}

  void Put(Answer answer) {
    std::function<void()> wake;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      answers_.push_back(std::move(answer));
      if (answers_.size() == 1)
        wake = wake_;
    }
    if (wake)
      wake();
  }
  std::vector<Answer> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(answers_, {});
  }
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    wake_ = nullptr;
  }

 private:
  std::mutex mutex_;
  std::function<void()> wake_;
  std::vector<Answer> answers_;
};

}  // namespace velmora
