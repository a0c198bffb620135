// An in-memory file system for the model tests and the benchmarks: folders and files with
// contents and a last-write time, and files that a client holds open for writing. Each
// operation counts as one call, so a test can see how many round trips a pass makes. Safe to
// use from several threads: the readers call it from their own while a test changes it.
//
// Paths are "\"-separated. A folder may be named with or without a trailing "\"; "" and "\"
// name the root, which always exists. Empty components are ignored ("C:\\a" is "C:\a"), and
// names are compared letter for letter. A path with a trailing "\" names a folder only.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_system.h"
#include "core/local_time.h"

namespace velmora::testing {

class MemoryFileSystem : public FileSystem {
 public:
  // The time a file gets when the test does not care.
  static constexpr LocalDateTime kDefaultFileTime{2024, 5, 17, 9, 30, 0};

  // Adds a folder and every folder above it. Throws std::logic_error when a file is in the way.
  void AddFolder(std::string_view path);
  // Adds or replaces a file (folders above it are added). Throws std::logic_error when `path`
  // names the root, a folder, or lies below a file. The time is stored as given; queries cut it
  // to two seconds like the real file systems.
  void AddFile(std::string_view path, std::string_view contents, LocalDateTime lastWrite = kDefaultFileTime);
  // A file that the client holds open for writing cannot be read. Throws when there is no file.
  void SetHeldForWriting(std::string_view path, bool held);
  // Removes a file, or a folder with everything below it. Nothing happens when nothing is there.
  void Remove(std::string_view path);

  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  LocalDateTime LastWriteTime(const std::string& path) override;
  ReadOutcome ReadShared(const std::string& path, std::size_t limit, std::string& contents) override;
  FolderSnapshot Snapshot(const std::string& folder, ClientFileSet wanted) override;

  // Queries answered so far.
  std::uint64_t CallCount() const { return calls_.load(); }

 private:
  struct Entry {
    bool isFolder = false;
    std::string contents;
    LocalDateTime lastWrite;
    bool heldForWriting = false;
  };

  // The path's components joined by a single "\"; "" for the root.
  static std::string Key(std::string_view path);
  static bool NamesFolderOnly(std::string_view path);
  const Entry* FindFile(std::string_view path) const;
  bool HasFolder(std::string_view path) const;
  void AddFolderKey(const std::string& key);
  // Counts one query and holds the lock while it is answered.
  std::unique_lock<std::mutex> Call() const;

  mutable std::mutex mutex_;
  mutable std::atomic<std::uint64_t> calls_{0};
  std::map<std::string, Entry, std::less<>> entries_;
};

}  // namespace velmora::testing
