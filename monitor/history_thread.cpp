#include "monitor/history_thread.h"

namespace velmora {

HistoryThread::HistoryThread(HistoryPlace place) : thread_([this, place] { Run(place); }) {}

HistoryThread::~HistoryThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void HistoryThread::Post(Job job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void HistoryThread::Run(HistoryPlace place) {
  HistoryKeeper keeper(std::move(place));
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
      if (jobs_.empty())
        return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    try {
      job(keeper);
    } catch (const std::exception&) {
      // A query that failed answers nothing; the keeper pauses itself when writing fails.
    }
  }
}

}  // namespace velmora
