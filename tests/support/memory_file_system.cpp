#include "tests/support/memory_file_system.h"

#include <ranges>
#include <stdexcept>

namespace velmora::testing {

namespace {

std::string ChildKey(const std::string& parentKey, std::string_view name) {
  return parentKey.empty() ? std::string(name) : parentKey + '\\' + std::string(name);
}

// The time as seconds since 1970, read as UTC: a memory folder has no time zone.
std::int64_t SecondsOfTime(const LocalDateTime& time) {
  if (!time.IsSet())
    return -1;
  const int year = time.year - (time.month <= 2 ? 1 : 0);
  const std::int64_t era = year / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (time.month + (time.month > 2 ? -3 : 9)) + 2) / 5 + time.day - 1;
  const std::int64_t days =
      era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
  return days * 86400 + time.hour * 3600 + time.minute * 60 + time.second;
}

}  // namespace

std::string MemoryFileSystem::Key(std::string_view path) {
  std::string key;
  for (const auto part : std::views::split(path, '\\')) {
    if (part.empty())
      continue;
    if (!key.empty())
      key += '\\';
    key.append(part.begin(), part.end());
  }
  return key;
}

bool MemoryFileSystem::NamesFolderOnly(std::string_view path) {
  return !path.empty() && path.back() == '\\';
}

const MemoryFileSystem::Entry* MemoryFileSystem::FindFile(std::string_view path) const {
  if (NamesFolderOnly(path))
    return nullptr;
  const auto found = entries_.find(Key(path));
  if (found == entries_.end() || found->second.isFolder)
    return nullptr;
  return &found->second;
}

bool MemoryFileSystem::HasFolder(std::string_view path) const {
  const std::string key = Key(path);
  if (key.empty())
    return true;
  const auto found = entries_.find(key);
  return found != entries_.end() && found->second.isFolder;
}

void MemoryFileSystem::AddFolderKey(const std::string& key) {
  std::size_t end = 0;
  while (end != std::string::npos) {
    end = key.find('\\', end + 1);
    const auto [entry, added] = entries_.try_emplace(key.substr(0, end));
    if (added) {
      entry->second.isFolder = true;
    } else if (!entry->second.isFolder) {
      throw std::logic_error("a file is in the way of folder " + key);
    }
  }
}

void MemoryFileSystem::AddFolder(std::string_view path) {
  const std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (!key.empty())
    AddFolderKey(key);
}

void MemoryFileSystem::AddFile(std::string_view path, std::string_view contents, LocalDateTime lastWrite) {
  const std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (key.empty() || NamesFolderOnly(path) || !lastWrite.IsSet()) {
    throw std::logic_error("not a file path or time: " + std::string(path));
  }
  const std::size_t lastSeparator = key.rfind('\\');
  if (lastSeparator != std::string::npos)
    AddFolderKey(key.substr(0, lastSeparator));
  Entry& entry = entries_.try_emplace(key).first->second;
  if (entry.isFolder)
    throw std::logic_error("a folder is in the way of file " + key);
  entry.contents = std::string(contents);
  entry.lastWrite = lastWrite;
}

void MemoryFileSystem::SetHeldForWriting(std::string_view path, bool held) {
  const std::lock_guard lock(mutex_);
  const auto found = entries_.find(Key(path));
  if (found == entries_.end() || found->second.isFolder) {
    throw std::logic_error("no file to hold: " + std::string(path));
  }
  found->second.heldForWriting = held;
}

void MemoryFileSystem::Remove(std::string_view path) {
  const std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (key.empty()) {
    entries_.clear();
    return;
  }
  entries_.erase(key);
  // Everything below sorts right after "key\" and shares that prefix.
  const std::string below = key + '\\';
  auto first = entries_.lower_bound(below);
  auto last = first;
  while (last != entries_.end() && last->first.starts_with(below))
    ++last;
  entries_.erase(first, last);
}

std::unique_lock<std::mutex> MemoryFileSystem::Call() const {
  ++calls_;
  return std::unique_lock(mutex_);
}

bool MemoryFileSystem::FileExists(const std::string& path) {
  const auto lock = Call();
  return FindFile(path) != nullptr;
}

bool MemoryFileSystem::FolderExists(const std::string& path) {
  const auto lock = Call();
  return HasFolder(path);
}

LocalDateTime MemoryFileSystem::LastWriteTime(const std::string& path) {
  const auto lock = Call();
  const Entry* file = FindFile(path);
  return file != nullptr ? ToTwoSecondTime(file->lastWrite) : LocalDateTime{};
}

ReadOutcome MemoryFileSystem::ReadShared(const std::string& path, std::size_t limit, std::string& contents) {
  const auto lock = Call();
  contents.clear();
  const Entry* file = FindFile(path);
  if (file == nullptr)
    return ReadOutcome::kMissing;
  if (file->heldForWriting)
    return ReadOutcome::kUnreadable;
  if (file->contents.size() > limit)
    return ReadOutcome::kTooLarge;
  contents = file->contents;
  return ReadOutcome::kRead;
}

FolderSnapshot MemoryFileSystem::Snapshot(const std::string& folder, ClientFileSet wanted) {
  const auto lock = Call();
  FolderSnapshot snapshot;
  snapshot.folderExists = HasFolder(folder);
  if (!snapshot.folderExists)
    return snapshot;
  const std::string folderKey = Key(folder);
  for (std::size_t i = 0; i < kClientFileCount; ++i) {
    const ClientFile file = static_cast<ClientFile>(i);
    if ((wanted & FileBit(file)) == 0)
      continue;
    const auto found = entries_.find(ChildKey(folderKey, ClientFileName(file)));
    if (found == entries_.end() || found->second.isFolder)
      continue;
    snapshot.present[i] = true;
    snapshot.lastWrite[i] = ToTwoSecondTime(found->second.lastWrite);
    snapshot.size[i] = static_cast<std::int64_t>(found->second.contents.size());
    snapshot.writeSeconds[i] = SecondsOfTime(found->second.lastWrite);
  }
  return snapshot;
}

}  // namespace velmora::testing
