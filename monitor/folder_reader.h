// The reading threads. The window's thread hands out requests and takes the answers; every
// client-folder call happens here, so a share that answers slowly, or not at all, never holds
// the window.
//
// Threads: up to `readers` reads run at once. A read that has run longer than `stuckAfter` is
// stuck: it no longer holds its place, so another thread may start beside it, and a folder that
// hangs ties up only the thread it blocks.
//
// Folders that hang must never take the threads that answering folders need, even when a whole
// file server dies with hundreds of folders on it. So reads wait, without a thread, in lines by
// share (the folder that holds the location, or \\server\share): the folders of a farm sit side
// by side on one server and die together.
// - A share with a stuck read runs one read at a time: a probe. While its probes answer, its
//   other folders go on being read one after the other.
// - A share with `stuckPerShare` stuck reads runs none until one of them returns; when the share
//   answers again, its waiting reads start at once.
// - One folder is read by one thread at a time, whoever asked: a request for a folder whose read
//   is still under way waits for it.
// So a dead share holds at most `stuckPerShare` threads, and threads never exceed `maxThreads`.
// An idle thread ends after `idleExit`. Nothing ever waits for a blocked read: the reader can be
// destroyed while one hangs, and that thread ends on its own when its call returns, its answer
// thrown away.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
  std::size_t stuckPerShare = 4;
  // When no thread could be started, the next try comes this much later.
  std::chrono::milliseconds retryStart{200};
  // Empty: std::thread, detached.
  ThreadStarter startThread = {};
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

// What a reading thread does with one request.
ReadAnswer AnswerRequest(FileSystem& fs, const ReadRequest& request);

// The line a folder's reads wait in: "\\server\share" for a UNC path, otherwise the folder that
// holds it; letters folded to lower case and "/" to "\", so that spellings of one share meet.
std::string ShareOf(std::string_view folder);

}  // namespace velmora
