// Writes client folders as the tests and benchmarks lay them out, into the in-memory file system
// or below a temporary folder on disk: the same files with the same texts either way.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/local_time.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_folder.h"

namespace velmora::testing {

// A file's text, or no such file: nothing given, or a null text (as a table of cases holds it).
// Implicit, so that a case writes its texts as they stand.
struct FileText : std::optional<std::string> {
  FileText() = default;
  FileText(const char* text) {
    if (text != nullptr)
      emplace(text);
  }
  FileText(std::string text) : std::optional<std::string>(std::move(text)) {}
};

// What a client folder holds: each file that is given is written with exactly this text.
struct ClientFiles {
  FileText state = {};       // state.sah
  FileText userInfo = {};    // user_info.sah
  FileText version = {};     // version.sah
  FileText workUnit = {};    // work_unit.sah
  FileText outfile = {};     // outfile.sah
  FileText result = {};      // result.sah
  FileText tempResult = {};  // wtemp.sah
};

// The last-write times of the files written into memory; on disk a file gets the time of its
// writing.
struct ClientFileTimes {
  LocalDateTime state = MemoryFileSystem::kDefaultFileTime;
  LocalDateTime others = MemoryFileSystem::kDefaultFileTime;
};

class ClientFolderWriter {
 public:
  // Folders are named by their path in `memory`, below `root` when one is given.
  explicit ClientFolderWriter(MemoryFileSystem& memory, std::string root = {})
      : memory_(&memory), root_(std::move(root)) {}
  // Folders are named relative to `disk` ("farm\m1" allowed; "" is `disk` itself).
  explicit ClientFolderWriter(const TempFolder& disk) : disk_(&disk) {}

  // The program's path of folder or file `relative` ("<folder>\<file>").
  std::string Path(std::string_view relative) const;
  // Makes folder `name` (also when no file is given) with `files`; returns its program path.
  std::string Write(std::string_view name, const ClientFiles& files, const ClientFileTimes& times = {}) const;
  // One file, `relative` being "<folder>\<file>", written anew (a file that a reader holds open
  // is tried again for a while) or removed.
  void WriteFile(std::string_view relative,
                 std::string_view contents,
                 LocalDateTime time = MemoryFileSystem::kDefaultFileTime) const;
  void Remove(std::string_view relative) const;
  // Whether a file's time is the one asked for: on disk the system sets it.
  bool KnowsFileTimes() const { return memory_ != nullptr; }

 private:
  MemoryFileSystem* memory_ = nullptr;
  const TempFolder* disk_ = nullptr;
  std::string root_;
};

}  // namespace velmora::testing
