// The reading threads. The window's thread hands out requests and takes the answers; every
// client-folder call happens here, so a share that answers slowly, or not at all, never holds
// the window.
//
// Threads: up to `readers` reads run at once. A read that has run longer than `stuckAfter` is
// stuck: it no longer holds its place, so another thread may start beside it, and a folder that
// hangs ties up only the thread it blocks.
//
// Servers that do not answer must never take the threads that answering folders need, however
// many of them die at once: a farm shares each cruncher's folder from the cruncher itself, and a
// switch that fails takes hundreds of servers with it. Reads wait, without a thread, in lines by
// server (see ServerOf), and the lines are served by what is known of each server:
// - Proven: it answered a read begun after the oldest read still unanswered anywhere (or nothing
//   is unanswered). Its reads start as soon as a place is free, least recently served first.
// - Silent: a read of it is stuck and it has answered nothing since that read began, or its last
//   read failed with an error that says it cannot be reached (down). A silent machine starts
//   nothing more: the read in flight is its probe. (Folders side by side on a drive may lie on
//   other mounts: one more of them is tried at a time beside the stuck ones, up to
//   `stuckPerServer`.) A down one is tried again, one read, after a back-off that doubles from
//   `retryFirst` up to `retryCap`.
// - Unproven (never read, or last heard of before the trouble began): one read at a time.
// Reads of servers not proven are probes, and they start only while fewer than `probes` reads are
// probes or stuck; so at least `maxThreads` - `probes` threads stay for the proven servers. Among
// probes, servers whose paths have least in common with the silent ones go first: a folder on a
// local disk before another server of a dead farm, a live folder before the siblings of one that
// hangs on the same NAS.
// One folder is read by one thread at a time, whoever asked: a request for a folder whose read is
// still under way waits for it. Threads never exceed `maxThreads`. An idle thread ends after
// `idleExit`. Nothing ever waits for a blocked read: the reader can be destroyed while one hangs,
// and that thread ends on its own when its call returns, its answer thrown away.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/char_sizes.h"
#include "monitor/figure_texts.h"
#include "monitor/location_reading.h"

namespace velmora {

class FileSystem;

enum class ReadKind {
  kRow,      // a refresh pass's look at one location
  kFigures,  // the statistics or details figures of the selected location
};

struct ReadRequest {
  std::uint64_t ticket = 0;
  ReadKind kind = ReadKind::kRow;
  std::string folder;
};

struct ReadAnswer {
  std::uint64_t ticket = 0;
  ReadKind kind = ReadKind::kRow;
  bool failed = false;  // the read threw (out of memory): nothing was learnt
  RowReading row;
  SelectedFigures figures;
};

// Starts `body` on a thread of its own that runs detached; throws when no thread can be had.
using ThreadStarter = std::function<void(std::function<void()> body)>;

struct ReaderLimits {
  std::size_t readers = 4;
  std::size_t maxThreads = 64;
  std::chrono::milliseconds stuckAfter{250};
  // Longer than the refresh interval, so that the threads of one pass serve the next.
  std::chrono::milliseconds idleExit{60000};
  // Answers are handed over in batches: at once when every read handed out has answered,
  // otherwise once the first of them has waited this long. Each hand-over costs the window a
  // message; one per answer would cost it more than the reads themselves.
  std::chrono::milliseconds gatherFor{20};
  // Stuck reads one server may hold while it still answers others (a slow share, not a dead one).
  std::size_t stuckPerServer = 4;
  // When no thread could be started, the next try comes this much later.
  std::chrono::milliseconds retryStart{200};
  // Empty: std::thread, detached.
  ThreadStarter startThread = {};
  // Reads that may hang for good: probes of servers not proven, and stuck reads.
  std::size_t probes = 32;
  // A server that cannot be reached is tried again after this, then twice as long each time up to
  // retryCap: the cap bounds how long a row waits once the network is back.
  std::chrono::milliseconds retryFirst{2000};
  std::chrono::milliseconds retryCap{30000};
  // The characters of the code page in force, for cutting paths.
  CharSizes chars = CharSizes::InForce();
};

class FolderReader {
 public:
  // `answersWaiting` is called on a reading thread when answers are waiting (see gatherFor); it
  // must only signal (post a message), never block. Not called again until TakeAnswers: a
  // caller that may miss a signal takes the answers now and then all the same.
  FolderReader(std::shared_ptr<FileSystem> fs,
               std::function<void()> answersWaiting,
               ReaderLimits limits = {});
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  void Submit(std::vector<ReadRequest> requests);
  std::vector<ReadAnswer> TakeAnswers();
  void SetIdleExit(std::chrono::milliseconds idleExit);

  // Reading threads alive now (the one that starts them not counted).
  std::size_t ThreadCount() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

// What a reading thread does with one request; `unreachable`, when given, tells whether a call
// said that the folder cannot be reached.
ReadAnswer AnswerRequest(FileSystem& fs, const ReadRequest& request, bool* unreachable = nullptr);


}  // namespace velmora
