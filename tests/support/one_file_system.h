// A file system in which every client file holds the same text, for the tests of LoadLines and
// the fuzz targets of the readers; a test may make the files absent or their reads fail. Only a
// header: the fuzz targets link no test support.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "core/file_system.h"

namespace velmora::testing {

class OneFileSystem final : public FileSystem {
 public:
  static constexpr LocalDateTime kFileTime{2026, 12, 8, 17, 0, 0};

  explicit OneFileSystem(std::string contents, bool exists = true, ReadOutcome outcome = ReadOutcome::kRead)
      : contents_(std::move(contents)), exists_(exists), outcome_(outcome) {}

  bool FileExists(const std::string&) override { return exists_; }
  bool FolderExists(const std::string&) override { return true; }
  LocalDateTime LastWriteTime(const std::string&) override { return exists_ ? kFileTime : LocalDateTime{}; }
  // A text longer than `limit` is too large, as on disk.
  ReadOutcome ReadShared(const std::string&, std::size_t limit, std::string& contents) override {
    ++reads;
    lastLimit = limit;
    if (outcome_ != ReadOutcome::kRead)
      return outcome_;
    if (contents_.size() > limit)
      return ReadOutcome::kTooLarge;
    contents = contents_;
    return ReadOutcome::kRead;
  }
  FolderSnapshot Snapshot(const std::string&, ClientFileSet wanted) override {
    FolderSnapshot snapshot;
    snapshot.folderExists = true;
    for (std::size_t i = 0; i < kClientFileCount; ++i) {
      snapshot.present[i] = exists_ && (wanted & FileBit(static_cast<ClientFile>(i))) != 0;
      if (snapshot.present[i])
        snapshot.lastWrite[i] = kFileTime;
    }
    return snapshot;
  }

  int reads = 0;
  std::size_t lastLimit = 0;

 private:
  std::string contents_;
  bool exists_;
  ReadOutcome outcome_;
};

}  // namespace velmora::testing
