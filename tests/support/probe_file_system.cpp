#include "tests/support/probe_file_system.h"

#include <stdexcept>
#include <thread>
#include <utility>

namespace velmora::testing {

namespace {

template <typename Map>
auto FindPrefixOf(const Map& entries, const std::string& path) {
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (path.starts_with(it->first))
      return it;
  }
  return entries.end();
}

}  // namespace

ProbeFileSystem::ProbeFileSystem(std::shared_ptr<FileSystem> inner) : inner_(std::move(inner)) {}

void ProbeFileSystem::Block(const std::string& folder) {
  std::lock_guard lock(mutex_);
  blocked_[folder] = true;
}

void ProbeFileSystem::Release(const std::string& folder) {
  {
    std::lock_guard lock(mutex_);
    blocked_.erase(folder);
  }
  changed_.notify_all();
}

void ProbeFileSystem::ReleaseAll() {
  {
    std::lock_guard lock(mutex_);
    blocked_.clear();
    unreachable_.clear();
  }
  changed_.notify_all();
}

void ProbeFileSystem::Delay(const std::string& folder, std::chrono::milliseconds delay) {
  std::lock_guard lock(mutex_);
  delays_[folder] = delay;
}

void ProbeFileSystem::Fail(const std::string& folder) {
  std::lock_guard lock(mutex_);
  failing_[folder] = true;
}

void ProbeFileSystem::Unreachable(const std::string& folder, std::chrono::milliseconds after) {
  std::lock_guard lock(mutex_);
  unreachable_[folder] = after;
}

int ProbeFileSystem::Waiting() const {
  std::lock_guard lock(mutex_);
  return waiting_;
}

bool ProbeFileSystem::WaitUntilWaiting(int count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return waiting_ >= count; });
}

bool ProbeFileSystem::Enter(const std::string& path) {
  ++calls_;
  std::chrono::milliseconds delay{0};
  bool unreachable = false;
  {
    std::unique_lock lock(mutex_);
    if (FindPrefixOf(blocked_, path) != blocked_.end()) {
      ++waiting_;
      changed_.notify_all();
      changed_.wait(lock, [&] { return FindPrefixOf(blocked_, path) == blocked_.end(); });
      --waiting_;
    }
    if (const auto found = FindPrefixOf(delays_, path); found != delays_.end())
      delay = found->second;
    if (FindPrefixOf(failing_, path) != failing_.end())
      throw std::runtime_error("the probe fails this folder: " + path);
    if (const auto found = FindPrefixOf(unreachable_, path); found != unreachable_.end()) {
      delay += found->second;
      unreachable = true;
    }
  }
  if (delay.count() > 0)
    std::this_thread::sleep_for(delay);
  return unreachable;
}

bool ProbeFileSystem::FileExists(const std::string& path) {
  return !Enter(path) && inner_->FileExists(path);
}

bool ProbeFileSystem::FolderExists(const std::string& path) {
  return !Enter(path) && inner_->FolderExists(path);
}

LocalDateTime ProbeFileSystem::LastWriteTime(const std::string& path) {
  return Enter(path) ? LocalDateTime{} : inner_->LastWriteTime(path);
}

ReadOutcome ProbeFileSystem::ReadShared(const std::string& path, std::size_t limit, std::string& contents) {
  if (Enter(path)) {
    contents.clear();
    return ReadOutcome::kUnreadable;
  }
  return inner_->ReadShared(path, limit, contents);
}

FolderSnapshot ProbeFileSystem::Snapshot(const std::string& folder, ClientFileSet wanted) {
  if (Enter(folder)) {
    FolderSnapshot gone;
    gone.unreachable = true;
    return gone;
  }
  return inner_->Snapshot(folder, wanted);
}

}  // namespace velmora::testing
