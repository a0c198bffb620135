// The file-system layer the readers work through. Read-only: nothing here creates,
// writes, renames or deletes. Paths use "\" as separator whatever the platform; the POSIX
// implementation maps it to "/".
//
// The readers call it from several threads at once (every folder is read off the window's
// thread): implementations keep no state between calls, or guard what they keep.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/local_time.h"

namespace velmora {

// What a read of a whole file gave.
enum class ReadOutcome {
  kRead,        // contents hold the whole file
  kMissing,     // no such file (or it is a folder)
  kUnreadable,  // could not be opened or read: held open for writing elsewhere, access denied...
  kTooLarge,    // larger than the limit asked for
};

// The client files the readers ask about in one folder.
enum class ClientFile { kWorkUnit, kState, kResult, kTempResult, kUserInfo };
inline constexpr std::size_t kClientFileCount = 5;
const char* ClientFileName(ClientFile file);  // "work_unit.sah", ...

// A set of client files, as a bit mask of (1 << ClientFile).
using ClientFileSet = unsigned;
constexpr ClientFileSet FileBit(ClientFile file) {
  return 1u << static_cast<unsigned>(file);
}
inline constexpr ClientFileSet kStateReaderFiles =
    FileBit(ClientFile::kWorkUnit) | FileBit(ClientFile::kState) | FileBit(ClientFile::kResult) |
    FileBit(ClientFile::kTempResult);
inline constexpr ClientFileSet kUserReaderFiles = FileBit(ClientFile::kUserInfo);

// One look at a folder: whether it exists, and for each wanted client file whether a file (not a
// folder) of that name is there, with its last-write time in local time cut to two seconds.
// Files not asked for read as absent.
struct FolderSnapshot {
  bool folderExists = false;
  // A call failed with an error that says the folder cannot be reached (its server is gone, the
  // network is down, the device is not ready): nothing more was asked, and nothing is known.
  bool unreachable = false;
  std::array<bool, kClientFileCount> present{};
  std::array<LocalDateTime, kClientFileCount> lastWrite{};
  // Of each file found: its size in bytes and its last-write time in seconds since 1970 (UTC),
  // which tell one work unit from the next; -1 where the platform could not say.
  std::array<std::int64_t, kClientFileCount> size = UnknownSizes();
  std::array<std::int64_t, kClientFileCount> writeSeconds = UnknownSizes();

  static constexpr std::array<std::int64_t, kClientFileCount> UnknownSizes() { return {-1, -1, -1, -1, -1}; }

  bool Has(ClientFile file) const { return present[static_cast<std::size_t>(file)]; }
  const LocalDateTime& TimeOf(ClientFile file) const { return lastWrite[static_cast<std::size_t>(file)]; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // A file (not a folder) exists at `path`.
  virtual bool FileExists(const std::string& path) = 0;
  // A folder exists at `path` (a trailing "\" is allowed).
  virtual bool FolderExists(const std::string& path) = 0;
  // Last-write time of the file at `path` in local time, seconds rounded down to even;
  // unset when there is no such file.
  virtual LocalDateTime LastWriteTime(const std::string& path) = 0;
  // Reads the whole file, sharing it with readers only (a writer holding it open makes the
  // read fail, and no writer can open it meanwhile).
  virtual ReadOutcome ReadShared(const std::string& path, std::size_t limit, std::string& contents) = 0;
  // What the readers need to know about `folder` (given with one trailing "\") and the `wanted`
  // files in it, in as few calls as the platform allows. Must agree with FileExists,
  // FolderExists and LastWriteTime.
  virtual FolderSnapshot Snapshot(const std::string& folder, ClientFileSet wanted) = 0;
};

// The implementation for the platform the program was built for.
std::unique_ptr<FileSystem> MakePlatformFileSystem();

}  // namespace velmora
