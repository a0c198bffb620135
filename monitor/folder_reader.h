// The reading threads. The window's thread hands out requests and takes the answers; every
// client-folder call happens here, so a share that answers slowly, or not at all, never holds
// the window.
//
// Threads: up to `readers` of them read at once. A read that has run longer than `stuckAfter`
// no longer holds its place: another thread may start beside it, so a folder that hangs ties up
// only the thread it blocks. Threads never exceed `maxThreads`; an idle one ends after
// `idleExit`. Nothing ever waits for a blocked read: the reader can be destroyed while one
// hangs, and that thread ends on its own when its call returns, its answer thrown away.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
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

struct ReaderLimits {
  std::size_t readers = 4;
  std::size_t maxThreads = 64;
  std::chrono::milliseconds stuckAfter{250};
  std::chrono::milliseconds idleExit{10000};
  // Answers are handed over in batches: at once when every read handed out has answered,
  // otherwise once the first of them has waited this long. Each hand-over costs the window a
  // message; one per answer would cost it more than the reads themselves.
  std::chrono::milliseconds gatherFor{20};
};

class FolderReader {
 public:
  // `answersWaiting` is called on a reading thread when answers are waiting (see gatherFor); it
  // must only signal (post a message), never block. Not called again until TakeAnswers.
  FolderReader(std::shared_ptr<FileSystem> fs,
               std::function<void()> answersWaiting,
               ReaderLimits limits = {});
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  void Submit(std::vector<ReadRequest> requests);
  std::vector<ReadAnswer> TakeAnswers();

  // Reading threads alive now (the one that starts them not counted).
  std::size_t ThreadCount() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

// What a reading thread does with one request.
ReadAnswer AnswerRequest(FileSystem& fs, const ReadRequest& request);

}  // namespace velmora
