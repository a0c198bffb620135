#include "monitor/folder_reader.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace velmora {

using Clock = std::chrono::steady_clock;

namespace {

// One folder in the form in which two spellings of it compare equal.
std::string FolderKey(std::string_view folder) {
  std::string key(folder);
  for (char& c : key) {
    if (c == '/')
      c = '\\';
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  while (key.size() > 1 && key.back() == '\\')
    key.pop_back();
  return key;
}

}  // namespace

std::string ShareOf(std::string_view folder) {
  std::string key = FolderKey(folder);
  if (key.starts_with("\\\\")) {
    // \\server\share\...: the share, however deep the folder lies in it.
    const std::size_t server = key.find('\\', 2);
    if (server == std::string::npos)
      return key;
    const std::size_t share = key.find('\\', server + 1);
    return share == std::string::npos ? key : key.substr(0, share);
  }
  const std::size_t slash = key.find_last_of('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, std::max<std::size_t>(slash, 1));
}

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

// Everything the threads share. Each thread holds it alive, so a thread that returns from a
// blocked call long after the FolderReader is gone still finds it (and the file system).
struct FolderReader::Shared : std::enable_shared_from_this<FolderReader::Shared> {
  Shared(std::shared_ptr<FileSystem> fileSystem, std::function<void()> notify, ReaderLimits readerLimits)
      : fs(std::move(fileSystem)), answersWaiting(std::move(notify)), limits(std::move(readerLimits)) {}

  // The reads of one share.
  struct Line {
    std::deque<ReadRequest> waiting;
    std::size_t fresh = 0;  // running, not yet stuck
    std::size_t stuck = 0;
    bool inTurn = false;  // listed in `turn`
  };
  struct Run {
    std::string share;
    Clock::time_point began;
    bool stuck = false;
  };
  struct Picked {
    ReadRequest request;
    std::string folder;  // FolderKey: a folder has one read running at most
  };

  const std::shared_ptr<FileSystem> fs;
  std::function<void()> answersWaiting;  // cleared when the reader goes
  ReaderLimits limits;

  std::mutex mutex;
  std::condition_variable workArrived;  // readers wait here for requests
  std::condition_variable poolChanged;  // the starter waits here
  std::map<std::string, Line> lines;    // by share
  std::deque<std::string> turn;         // shares with waiting reads, served in turn
  std::size_t waitingCount = 0;
  std::vector<ReadAnswer> answers;
  bool notified = false;
  std::optional<Clock::time_point> waitingSince;  // answers wait, not yet told
  bool stopping = false;
  std::size_t threads = 0;
  std::size_t freshCount = 0;
  std::map<std::string, Run> running;  // by FolderKey

  void ReaderMain();
  void StarterMain();
  // Under the lock, for each of these.
  bool MayStart(const Line& line) const;
  // The next read that may start now; with `take`, it is taken and counted as running.
  std::optional<Picked> Pick(bool take);
  void MarkStuck(Clock::time_point now, std::optional<Clock::time_point>& lookAgain);
  // True when the end of this read may let waiting reads start that were held back.
  bool Finish(const std::string& folder);
  void Notify();
  void ForgetIfIdle(const std::string& share);
};

bool FolderReader::Shared::MayStart(const Line& line) const {
  if (line.stuck == 0)
    return true;
  // A share that hangs somewhere: one probe at a time, and none once enough threads hang there.
  return line.stuck < limits.stuckPerShare && line.fresh == 0;
}

std::optional<FolderReader::Shared::Picked> FolderReader::Shared::Pick(bool take) {
  if (freshCount >= limits.readers)
    return std::nullopt;
  for (std::size_t left = turn.size(); left > 0; --left) {
    std::string share = std::move(turn.front());
    turn.pop_front();
    Line& line = lines[share];
    if (line.waiting.empty()) {
      line.inTurn = false;
      ForgetIfIdle(share);
      continue;
    }
    const auto next = MayStart(line) ? std::find_if(line.waiting.begin(), line.waiting.end(),
                                                    [this](const ReadRequest& request) {
                                                      return !running.contains(FolderKey(request.folder));
                                                    })
                                     : line.waiting.end();
    if (next == line.waiting.end() || !take) {
      // Not this one now; the others keep their turn. Without `take` the order stays.
      if (next != line.waiting.end()) {
        turn.push_front(std::move(share));
        return Picked{};
      }
      turn.push_back(std::move(share));
      continue;
    }
    Picked picked{std::move(*next), {}};
    picked.folder = FolderKey(picked.request.folder);
    line.waiting.erase(next);
    --waitingCount;
    ++line.fresh;
    ++freshCount;
    running.emplace(picked.folder, Run{share, Clock::now()});
    if (line.waiting.empty()) {
      line.inTurn = false;
    } else {
      turn.push_back(std::move(share));
    }
    return picked;
  }
  return std::nullopt;
}

void FolderReader::Shared::ForgetIfIdle(const std::string& share) {
  const auto found = lines.find(share);
  if (found != lines.end() && found->second.waiting.empty() && !found->second.inTurn &&
      found->second.fresh == 0 && found->second.stuck == 0) {
    lines.erase(found);
  }
}

bool FolderReader::Shared::Finish(const std::string& folder) {
  auto node = running.extract(folder);
  const Run& done = node.mapped();
  Line& line = lines[done.share];
  if (done.stuck) {
    --line.stuck;
  } else {
    --line.fresh;
    --freshCount;
  }
  if (!line.waiting.empty() && !line.inTurn) {
    line.inTurn = true;
    turn.push_back(done.share);
  }
  ForgetIfIdle(done.share);
  return done.stuck;
}

void FolderReader::Shared::ReaderMain() {
  std::unique_lock lock(mutex);
  for (;;) {
    std::optional<Picked> picked;
    if (!workArrived.wait_for(lock, limits.idleExit,
                              [&] { return stopping || (picked = Pick(true)).has_value(); })) {
      break;  // idle long enough
    }
    if (stopping)
      break;
    // The starter times when a read counts as stuck (a read begun after another fresh one turns
    // stuck after it, so only the first needs telling), and starts a thread for more work.
    const bool moreWork = threads == running.size() && waitingCount > 0 && freshCount < limits.readers;
    if (freshCount == 1 || moreWork)
      poolChanged.notify_one();
    lock.unlock();

    ReadAnswer answer;
    try {
      answer = AnswerRequest(*fs, picked->request);
    } catch (...) {
      answer = ReadAnswer{};
      answer.ticket = picked->request.ticket;
      answer.kind = picked->request.kind;
      answer.failed = true;
    }

    lock.lock();
    if (stopping)
      break;
    // A share that hangs somewhere may start another read now that this one is done, and
    // another thread may serve it; otherwise this thread takes the next read itself.
    if (Finish(picked->folder))
      workArrived.notify_all();
    answers.push_back(std::move(answer));
    if (!notified) {
      if (waitingCount == 0 && running.empty()) {
        Notify();  // the last of what was handed out: no reason to wait
      } else if (!waitingSince) {
        waitingSince = Clock::now();
        poolChanged.notify_one();  // the starter tells once the batch has gathered
      }
    }
  }
  --threads;
  poolChanged.notify_one();
}

void FolderReader::Shared::MarkStuck(Clock::time_point now, std::optional<Clock::time_point>& lookAgain) {
  bool marked = false;
  for (auto& [folder, read] : running) {
    if (read.stuck)
      continue;
    const Clock::time_point stuckAt = read.began + limits.stuckAfter;
    if (now < stuckAt) {
      if (!lookAgain || stuckAt < *lookAgain)
        lookAgain = stuckAt;
      continue;
    }
    read.stuck = true;
    Line& line = lines[read.share];
    --line.fresh;
    ++line.stuck;
    --freshCount;
    marked = true;
  }
  if (marked)
    workArrived.notify_all();  // its place is free for another read
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
    const Clock::time_point now = Clock::now();
    std::optional<Clock::time_point> lookAgain;
    if (waitingSince && !notified) {
      const Clock::time_point tellAt = *waitingSince + limits.gatherFor;
      if (now >= tellAt) {
        Notify();
      } else {
        lookAgain = tellAt;
      }
    }
    MarkStuck(now, lookAgain);
    const bool noneIdle = threads == running.size();
    if (noneIdle && threads < limits.maxThreads && Pick(false)) {
      try {
        auto body = [self = shared_from_this()] { self->ReaderMain(); };
        if (limits.startThread) {
          limits.startThread(std::move(body));
        } else {
          std::thread(std::move(body)).detach();
        }
        ++threads;
        continue;
      } catch (...) {
        // No thread to be had now: try again soon, since nothing else may come to ask.
        const Clock::time_point retryAt = now + limits.retryStart;
        if (!lookAgain || retryAt < *lookAgain)
          lookAgain = retryAt;
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
    : shared_(std::make_shared<Shared>(std::move(fs), std::move(answersWaiting), std::move(limits))) {
  // The starter only counts and starts threads; it never touches a folder, so it never blocks.
  std::thread([shared = shared_] { shared->StarterMain(); }).detach();
}

FolderReader::~FolderReader() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
    shared_->lines.clear();
    shared_->turn.clear();
    shared_->waitingCount = 0;
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
    for (ReadRequest& request : requests) {
      std::string share = ShareOf(request.folder);
      Shared::Line& line = shared_->lines[share];
      line.waiting.push_back(std::move(request));
      ++shared_->waitingCount;
      if (!line.inTurn) {
        line.inTurn = true;
        shared_->turn.push_back(std::move(share));
      }
    }
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

void FolderReader::SetIdleExit(std::chrono::milliseconds idleExit) {
  std::lock_guard lock(shared_->mutex);
  shared_->limits.idleExit = idleExit;
}

std::size_t FolderReader::ThreadCount() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->threads;
}

}  // namespace velmora
