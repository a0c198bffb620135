#include "monitor/folder_reader.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>
#include <utility>

#include "core/file_system.h"
#include "monitor/server_keys.h"

namespace velmora {

using Clock = std::chrono::steady_clock;

namespace {

// Passes every call on, and notes whether one said that the folder cannot be reached.
class ReachWatch final : public FileSystem {
 public:
  explicit ReachWatch(FileSystem& inner) : inner_(inner) {}

  bool Unreachable() const { return unreachable_; }

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool FolderExists(const std::string& path) override { return inner_.FolderExists(path); }
  LocalDateTime LastWriteTime(const std::string& path) override { return inner_.LastWriteTime(path); }
  ReadOutcome ReadShared(const std::string& path, std::size_t limit, std::string& contents) override {
    return inner_.ReadShared(path, limit, contents);
  }
  FolderSnapshot Snapshot(const std::string& folder, ClientFileSet wanted) override {
    FolderSnapshot snapshot = inner_.Snapshot(folder, wanted);
    unreachable_ = unreachable_ || snapshot.unreachable;
    return snapshot;
  }

 private:
  FileSystem& inner_;
  bool unreachable_ = false;
};

constexpr std::size_t kNotQueued = static_cast<std::size_t>(-1);

}  // namespace

ReadAnswer AnswerRequest(FileSystem& fs, const ReadRequest& request, bool* unreachable) {
  ReachWatch watch(fs);
  ReadAnswer answer;
  answer.ticket = request.ticket;
  answer.kind = request.kind;
  if (request.kind == ReadKind::kRow) {
    answer.row = ReadLocation(watch, request.folder);
  } else {
    answer.figures = ReadSelectedFigures(watch, request.folder);
  }
  if (unreachable)
    *unreachable = watch.Unreachable();
  return answer;
}

// Everything the threads share. Each thread holds it alive, so a thread that returns from a
// blocked call long after the FolderReader is gone still finds it (and the file system).
struct FolderReader::Shared : std::enable_shared_from_this<FolderReader::Shared> {
  Shared(std::shared_ptr<FileSystem> fileSystem, std::function<void()> notify, ReaderLimits readerLimits)
      : fs(std::move(fileSystem)), answersWaiting(std::move(notify)), limits(std::move(readerLimits)) {}

  struct Waiting {
    ReadRequest request;
    std::string folder;  // FolderKey: a folder has one read running at most
  };
  // What is known of one server, kept while the reader lives: a server that went quiet stays
  // known as such between passes, so that a pass does not try it again before its time.
  struct Server {
    bool machine = false;  // a UNC server; otherwise folders side by side, maybe on other mounts
    std::vector<std::string> ancestors;
    std::deque<Waiting> waiting;
    // Where it is listed while reads wait: in `queued` when one may start, in `retries` while a
    // server that cannot be reached waits for its time, in neither while a silent one's read is
    // out (its end places it again). So a pass never looks through the dead.
    std::size_t queuedAt = kNotQueued;
    std::optional<std::multimap<Clock::time_point, Server*>::iterator> retryEntry;
    std::size_t fresh = 0;              // running, not yet stuck
    std::size_t stuck = 0;
    bool down = false;  // its last read could not reach it
    int failures = 0;   // reads in a row that could not reach it
    Clock::time_point retryAt{};
    std::optional<Clock::time_point> answeredBegan;  // the latest read that answered began then
    Clock::time_point lastAnswer = Clock::time_point::min();
    std::optional<Clock::time_point> silentSince;  // listed in `silences` and `suspects` while set
    std::uint64_t served = 0;                      // when a read of it last started, by `picks`
    std::uint64_t depthVersion = ~std::uint64_t{0};
    std::size_t depth = 0;
  };
  struct Run {
    Server* server;
    Clock::time_point began;
    bool stuck = false;
    bool probe = false;  // started while its server was not proven
  };
  struct Picked {
    ReadRequest request;
    std::string folder;
  };

  const std::shared_ptr<FileSystem> fs;
  std::function<void()> answersWaiting;  // cleared when the reader goes
  ReaderLimits limits;

  std::mutex mutex;
  std::condition_variable workArrived;  // readers wait here for requests
  std::condition_variable poolChanged;  // the starter waits here
  std::unordered_map<std::string, Server> servers;  // by ServerOf; nodes never move
  std::vector<Server*> queued;
  std::multimap<Clock::time_point, Server*> retries;
  std::size_t waitingCount = 0;
  std::vector<ReadAnswer> answers;
  bool notified = false;
  std::optional<Clock::time_point> waitingSince;  // answers wait, not yet told
  bool stopping = false;
  std::size_t threads = 0;
  std::size_t freshCount = 0;
  std::size_t hazards = 0;  // probes running and stuck reads
  std::uint64_t picks = 0;
  std::map<std::string, Run> running;  // by FolderKey
  // When each silent server's trouble began; the oldest is when the outage began.
  std::multiset<Clock::time_point> silences;
  // How many silent servers each folder holds (or is), for ranking the probes.
  std::unordered_map<std::string, std::size_t> suspects;
  std::uint64_t suspectsVersion = 0;

  void ReaderMain();
  void StarterMain();
  // Under the lock, for each of these.
  bool Proven(const Server& server) const;
  bool MayStart(const Server& server, bool proven, Clock::time_point now) const;
  std::size_t Depth(Server& server);
  // The next read that may start now; with `take`, it is taken and counted as running.
  std::optional<Picked> Pick(bool take, Clock::time_point now);
  void MarkStuck(Clock::time_point now, std::optional<Clock::time_point>& lookAgain);
  // Ends a read; false when it could not reach its server and waits to be tried again.
  bool Finish(const Picked& picked, bool unreachable, Clock::time_point now);
  void GoSilent(Server& server, Clock::time_point since);
  void EndSilence(Server& server);
  // Lists `server` where it belongs now (see Server::queuedAt).
  void Place(Server& server, Clock::time_point now);
  void Unlist(Server& server);
  // Servers whose time to be tried again has come go back in line; when the next one comes.
  std::optional<Clock::time_point> ReturnRetries(Clock::time_point now);
  void Notify();
};

bool FolderReader::Shared::Proven(const Server& server) const {
  return !server.silentSince && server.answeredBegan &&
         (silences.empty() || *server.answeredBegan >= *silences.begin());
}

bool FolderReader::Shared::MayStart(const Server& server, bool proven, Clock::time_point now) const {
  if (server.down)
    return server.fresh + server.stuck == 0 && now >= server.retryAt;
  if (server.silentSince) {
    // A machine that does not answer: the read in flight is its probe. Folders side by side on a
    // drive may lie on other mounts: one more of them may be tried beside the stuck ones.
    return !server.machine && server.fresh == 0 && server.stuck < limits.stuckPerServer;
  }
  if (!proven)
    return server.fresh + server.stuck == 0;
  // A slow server that still answers: one more read beside its stuck ones, up to a limit.
  return server.stuck == 0 || (server.fresh == 0 && server.stuck < limits.stuckPerServer);
}

std::size_t FolderReader::Shared::Depth(Server& server) {
  if (server.depthVersion != suspectsVersion) {
    server.depth = static_cast<std::size_t>(
        std::ranges::count_if(server.ancestors, [this](const std::string& folder) { return suspects.contains(folder); }));
    server.depthVersion = suspectsVersion;
  }
  return server.depth;
}

std::optional<FolderReader::Shared::Picked> FolderReader::Shared::Pick(bool take, Clock::time_point now) {
  if (freshCount >= limits.readers)
    return std::nullopt;
  const bool probeRoom = hazards < limits.probes;
  Server* best = nullptr;
  std::deque<Waiting>::iterator bestRead;
  bool bestProven = false;
  std::size_t bestDepth = 0;
  for (Server* server : queued) {
    const bool proven = Proven(*server);
    if (!proven && (!probeRoom || bestProven))
      continue;
    if (!MayStart(*server, proven, now))
      continue;
    const auto read = std::ranges::find_if(server->waiting, [this](const Waiting& w) { return !running.contains(w.folder); });
    if (read == server->waiting.end())
      continue;
    if (proven) {
      if (bestProven && server->served >= best->served)
        continue;
    } else {
      const std::size_t depth = Depth(*server);
      if (best && (depth > bestDepth || (depth == bestDepth && server->served >= best->served)))
        continue;
      bestDepth = depth;
    }
    best = server;
    bestRead = read;
    bestProven = proven;
  }
  if (!best)
    return std::nullopt;
  if (!take)
    return Picked{};
  Picked picked{std::move(bestRead->request), std::move(bestRead->folder)};
  best->waiting.erase(bestRead);
  --waitingCount;
  ++best->fresh;
  ++freshCount;
  best->served = ++picks;
  if (!bestProven)
    ++hazards;
  running.emplace(picked.folder, Run{best, now, false, !bestProven});
  if (best->waiting.empty())
    Unlist(*best);
  return picked;
}

void FolderReader::Shared::Unlist(Server& server) {
  if (server.queuedAt != kNotQueued) {
    Server* last = queued.back();
    queued[server.queuedAt] = last;
    last->queuedAt = server.queuedAt;
    queued.pop_back();
    server.queuedAt = kNotQueued;
  }
  if (server.retryEntry) {
    retries.erase(*server.retryEntry);
    server.retryEntry.reset();
  }
}

void FolderReader::Shared::Place(Server& server, Clock::time_point now) {
  Unlist(server);
  if (server.waiting.empty() || (server.silentSince && server.machine && server.fresh + server.stuck > 0))
    return;
  if (server.down && now < server.retryAt) {
    server.retryEntry = retries.emplace(server.retryAt, &server);
    return;
  }
  server.queuedAt = queued.size();
  queued.push_back(&server);
}

std::optional<Clock::time_point> FolderReader::Shared::ReturnRetries(Clock::time_point now) {
  while (!retries.empty() && retries.begin()->first <= now) {
    Server& server = *retries.begin()->second;
    Place(server, now);
  }
  return retries.empty() ? std::nullopt : std::optional(retries.begin()->first);
}

void FolderReader::Shared::GoSilent(Server& server, Clock::time_point since) {
  server.silentSince = since;
  silences.insert(since);
  for (const std::string& folder : server.ancestors) {
    if (suspects[folder]++ == 0)
      ++suspectsVersion;
  }
}

void FolderReader::Shared::EndSilence(Server& server) {
  silences.erase(silences.find(*server.silentSince));
  server.silentSince.reset();
  for (const std::string& folder : server.ancestors) {
    const auto found = suspects.find(folder);
    if (--found->second == 0) {
      suspects.erase(found);
      ++suspectsVersion;
    }
  }
}

bool FolderReader::Shared::Finish(const Picked& picked, bool unreachable, Clock::time_point now) {
  auto node = running.extract(picked.folder);
  const Run& done = node.mapped();
  Server& server = *done.server;
  if (done.stuck) {
    --server.stuck;
  } else {
    --server.fresh;
    --freshCount;
  }
  if (done.stuck || done.probe)
    --hazards;
  if (unreachable) {
    server.down = true;
    ++server.failures;
    std::chrono::milliseconds wait = limits.retryFirst;
    for (int i = 1; i < server.failures && wait < limits.retryCap; ++i)
      wait *= 2;
    server.retryAt = now + std::min(wait, limits.retryCap);
    if (!server.silentSince)
      GoSilent(server, done.began);
    server.waiting.push_front(Waiting{picked.request, picked.folder});
    ++waitingCount;
    Place(server, now);
    return false;
  }
  server.down = false;
  server.failures = 0;
  server.answeredBegan = std::max(server.answeredBegan.value_or(done.began), done.began);
  server.lastAnswer = now;
  if (server.silentSince)
    EndSilence(server);
  Place(server, now);
  return true;
}

void FolderReader::Shared::ReaderMain() {
  std::unique_lock lock(mutex);
  for (;;) {
    std::optional<Picked> picked;
    if (!workArrived.wait_for(lock, limits.idleExit,
                              [&] { return stopping || (picked = Pick(true, Clock::now())).has_value(); })) {
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
    bool unreachable = false;
    try {
      answer = AnswerRequest(*fs, picked->request, &unreachable);
    } catch (...) {
      answer = ReadAnswer{};
      answer.ticket = picked->request.ticket;
      answer.kind = picked->request.kind;
      answer.failed = true;
    }

    lock.lock();
    if (stopping)
      break;
    const bool wasStuck = running.at(picked->folder).stuck;
    const std::size_t silentBefore = silences.size();
    const bool answered = Finish(*picked, unreachable, Clock::now());
    // A server that speaks again, or a place freed by a stuck read, may let waiting reads start
    // that were held back, and another thread may serve them; a server that could not be reached
    // is tried again when its time comes, which the starter watches.
    if (wasStuck || silences.size() != silentBefore)
      workArrived.notify_all();
    if (!answered) {
      poolChanged.notify_one();
      continue;
    }
    answers.push_back(std::move(answer));
    if (!notified) {
      if (freshCount == 0 && !Pick(false, Clock::now())) {
        // The last read that can answer soon: what is left hangs, or waits for a server to be
        // tried again, and no reason to wait for it.
        Notify();
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
    Server& server = *read.server;
    --server.fresh;
    ++server.stuck;
    --freshCount;
    if (!read.probe)
      ++hazards;
    // Nothing heard from the server since this read began: it has gone quiet.
    if (!server.silentSince && server.lastAnswer <= read.began) {
      GoSilent(server, read.began);
      Place(server, now);
    }
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
    if (const std::optional<Clock::time_point> retry = ReturnRetries(now); retry && (!lookAgain || *retry < *lookAgain))
      lookAgain = retry;
    const bool noneIdle = threads == running.size();
    const bool workNow = Pick(false, now).has_value();
    if (workNow && !noneIdle)
      workArrived.notify_one();  // a retry fell due: an idle thread takes it
    if (workNow && noneIdle && threads < limits.maxThreads) {
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
    for (auto& [name, server] : shared_->servers) {
      server.waiting.clear();
      shared_->Unlist(server);
    }
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
    const CharSizes& chars = shared_->limits.chars;
    for (ReadRequest& request : requests) {
      std::string folder = FolderKey(request.folder, chars);
      std::string name = ServerOf(folder, chars);
      auto [found, added] = shared_->servers.try_emplace(name);
      Shared::Server& server = found->second;
      if (added) {
        server.machine = name.starts_with("\\\\");
        server.ancestors = AncestorsOf(name, chars);
        server.served = shared_->picks;
      }
      server.waiting.push_back({std::move(request), std::move(folder)});
      ++shared_->waitingCount;
      shared_->Place(server, Clock::now());
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
