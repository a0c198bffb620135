// A file system for tests and benchmarks that passes every call on to another one, counts the
// calls, and can hold or slow the calls under chosen folders: a share that does not answer
// until the test lets it, or one that answers each call late.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/file_system.h"

namespace velmora::testing {

class ProbeFileSystem final : public FileSystem {
 public:
  explicit ProbeFileSystem(std::shared_ptr<FileSystem> inner);

  // Calls on paths that start with `folder` (compared letter for letter) wait until Release.
  void Block(const std::string& folder);
  void Release(const std::string& folder);
  void ReleaseAll();
  // Calls on paths that start with `folder` take `delay` longer.
  void Delay(const std::string& folder, std::chrono::milliseconds delay);
  // Calls on paths that start with `folder` throw, as a read that runs out of memory would.
  void Fail(const std::string& folder);
  // Calls on paths that start with `folder` fail after `after` as on a server that is gone: a
  // snapshot says the folder cannot be reached, and nothing is found. ReleaseAll brings it back.
  void Unreachable(const std::string& folder, std::chrono::milliseconds after);
  // How many calls are waiting in Block right now, and waits (up to `limit`) until at least
  // `count` are. True when they are.
  int Waiting() const;
  bool WaitUntilWaiting(int count, std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

  // Calls passed on so far.
  std::uint64_t CallCount() const { return calls_.load(); }

  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  LocalDateTime LastWriteTime(const std::string& path) override;
  ReadOutcome ReadShared(const std::string& path, std::size_t limit, std::string& contents) override;
  FolderSnapshot Snapshot(const std::string& folder, ClientFileSet wanted) override;

 private:
  // Waits while `path` is blocked, sleeps its delay, and counts the call. True when the call
  // cannot reach its folder.
  bool Enter(const std::string& path);

  std::shared_ptr<FileSystem> inner_;
  std::atomic<std::uint64_t> calls_{0};
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<std::string, bool> blocked_;
  std::map<std::string, std::chrono::milliseconds> delays_;
  std::map<std::string, bool> failing_;
  std::map<std::string, std::chrono::milliseconds> unreachable_;
  int waiting_ = 0;
};

}  // namespace velmora::testing
