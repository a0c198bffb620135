#include "monitor/folder_reader.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace velmora {

using Clock = std::chrono::steady_clock;

// Everything the threads share. Each thread holds it alive, so a thread that returns from a
// blocked call long after the FolderReader is gone still finds it (and the file system).
struct FolderReader::Shared : std::enable_shared_from_this<FolderReader::Shared> {
  Shared(std::shared_ptr<FileSystem> fileSystem, std::function<void()> notify, ReaderLimits readerLimits)
      : fs(std::move(fileSystem)), answersWaiting(std::move(notify)), limits(readerLimits) {}

  const std::shared_ptr<FileSystem> fs;
  std::function<void()> answersWaiting;  // cleared when the reader goes
  const ReaderLimits limits;

  std::mutex mutex;
  std::condition_variable workArrived;  // readers wait here for requests
  std::condition_variable poolChanged;  // the starter waits here
  std::deque<ReadRequest> queue;
  std::vector<ReadAnswer> answers;
  bool notified = false;
  std::optional<Clock::time_point> waitingSince;  // answers wait, not yet told
  bool stopping = false;
  std::size_t threads = 0;
  std::uint64_t nextRun = 0;
  std::map<std::uint64_t, Clock::time_point> running;  // reads under way, by when they began

  void ReaderMain();
  void StarterMain();
  // Under the lock: tells the window that answers wait.
  void Notify();
  // Under the lock: whether one more reading thread is wanted now, and when to look again.
  bool WantsAnotherThread(Clock::time_point now, std::optional<Clock::time_point>& lookAgain) const;
};

ReadAnswer AnswerRequest(FileSystem& fs, const ReadRequest& request) {
  ReadAnswer answer;
  answer.ticket = request.ticket;
  answer.kind = request.kind;
  if (request.kind == ReadKind::kRow) {
    answer.row = ReadLocation(fs, request.folder);
  } else {
    answer.figures = ReadSelectedFigures(fs, request.folder);
  }
  return answer;
}

void FolderReader::Shared::ReaderMain() {
  std::unique_lock lock(mutex);
  for (;;) {
    if (!workArrived.wait_for(lock, limits.idleExit, [this] { return stopping || !queue.empty(); }))
      break;  // idle long enough
    if (stopping)
      break;
    ReadRequest request = std::move(queue.front());
    queue.pop_front();
    const std::uint64_t run = nextRun++;
    running.emplace(run, Clock::now());
    // The starter times when this read counts as stuck.
    poolChanged.notify_one();
    lock.unlock();

    ReadAnswer answer;
    try {
      answer = AnswerRequest(*fs, request);
    } catch (...) {
      answer = ReadAnswer{};
      answer.ticket = request.ticket;
      answer.kind = request.kind;
      answer.failed = true;
    }

    lock.lock();
    running.erase(run);
    if (!stopping) {
      answers.push_back(std::move(answer));
      if (!notified) {
        if (queue.empty() && running.empty()) {
          Notify();  // the last of what was handed out: no reason to wait
        } else if (!waitingSince) {
          waitingSince = Clock::now();  // the starter tells once the batch has gathered
        }
      }
    }
    poolChanged.notify_one();
  }
  --threads;
  poolChanged.notify_one();
}

bool FolderReader::Shared::WantsAnotherThread(Clock::time_point now,
                                              std::optional<Clock::time_point>& lookAgain) const {
  std::size_t fresh = 0;
  for (const auto& [run, began] : running) {
    const Clock::time_point stuckAt = began + limits.stuckAfter;
    if (now < stuckAt) {
      ++fresh;
      if (!lookAgain || stuckAt < *lookAgain)
        lookAgain = stuckAt;
    }
  }
  const std::size_t idle = threads - running.size();
  return queue.size() > idle && fresh + idle < limits.readers && threads < limits.maxThreads;
}

void FolderReader::Shared::Notify() {
  waitingSince.reset();
  if (notified || !answersWaiting)
    return;
  notified = true;
  answersWaiting();
}

void FolderReader::Shared::StarterMain() {
  std::unique_lock lock(mutex);
  while (!stopping) {
    std::optional<Clock::time_point> lookAgain;
    if (waitingSince && !notified) {
      const Clock::time_point tellAt = *waitingSince + limits.gatherFor;
      if (Clock::now() >= tellAt) {
        Notify();
      } else {
        lookAgain = tellAt;
      }
    }
    if (WantsAnotherThread(Clock::now(), lookAgain)) {
      try {
        std::thread([self = shared_from_this()] { self->ReaderMain(); }).detach();
        ++threads;
        continue;
      } catch (const std::system_error&) {
        // No thread to be had now: the running ones take the queue as they finish.
      }
    }
    if (lookAgain) {
      poolChanged.wait_until(lock, *lookAgain);
    } else {
      poolChanged.wait(lock);
    }
  }
}

FolderReader::FolderReader(std::shared_ptr<FileSystem> fs,
                           std::function<void()> answersWaiting,
                           ReaderLimits limits)
    : shared_(std::make_shared<Shared>(std::move(fs), std::move(answersWaiting), limits)) {
  // The starter only counts and starts threads; it never touches a folder, so it never blocks.
  std::thread([shared = shared_] { shared->StarterMain(); }).detach();
}

FolderReader::~FolderReader() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
    shared_->queue.clear();
    shared_->answers.clear();
    shared_->answersWaiting = nullptr;
  }
  shared_->workArrived.notify_all();
  shared_->poolChanged.notify_all();
}

void FolderReader::Submit(std::vector<ReadRequest> requests) {
  if (requests.empty())
    return;
  {
    std::lock_guard lock(shared_->mutex);
    for (ReadRequest& request : requests)
      shared_->queue.push_back(std::move(request));
  }
  shared_->workArrived.notify_all();
  shared_->poolChanged.notify_one();
}

std::vector<ReadAnswer> FolderReader::TakeAnswers() {
  std::lock_guard lock(shared_->mutex);
  shared_->notified = false;
  shared_->waitingSince.reset();
  return std::exchange(shared_->answers, {});
}

std::size_t FolderReader::ThreadCount() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->threads;
}

}  // namespace velmora
