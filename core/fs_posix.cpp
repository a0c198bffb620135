// The file-system layer over POSIX, for the native build and its tests. Program paths use "\"
// as separator; it is mapped to "/" here. POSIX has no share modes, so a reader cannot shut
// writers out the way the Win32 layer does; everything else behaves alike.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "core/file_system.h"

namespace velmora {
namespace {

std::string ToNativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\')
      c = '/';
  }
  return native;
}

// As the Win32 layer reports it: two-second resolution, unset outside the years 1980 to 2107.
LocalDateTime ToLocalDateTime(time_t stamp) {
  struct tm local {};
  if (!localtime_r(&stamp, &local))
    return {};
  return ToTwoSecondTime(
      {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec});
}

class PosixFileSystem final : public FileSystem {
 public:
  bool FileExists(const std::string& path) override {
    struct stat info {};
    return StatPath(path, info) && !S_ISDIR(info.st_mode);
  }

  bool FolderExists(const std::string& path) override {
    struct stat info {};
    return StatPath(path, info) && S_ISDIR(info.st_mode);
  }

  LocalDateTime LastWriteTime(const std::string& path) override {
    struct stat info {};
    if (!StatPath(path, info) || S_ISDIR(info.st_mode))
      return {};
    return ToLocalDateTime(info.st_mtime);
  }

  ReadOutcome ReadShared(const std::string& path, std::size_t limit, std::string& contents) override {
    contents.clear();
    const int fd = ::open(ToNativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
      return errno == ENOENT || errno == ENOTDIR ? ReadOutcome::kMissing : ReadOutcome::kUnreadable;
    ReadOutcome outcome = ReadOutcome::kRead;
    constexpr std::size_t kChunk = 64 * 1024;
    for (;;) {
      const std::size_t before = contents.size();
      contents.resize(before + kChunk);
      const ssize_t got = ::read(fd, contents.data() + before, kChunk);
      if (got < 0) {
        if (errno == EINTR) {
          contents.resize(before);
          continue;
        }
        outcome = ReadOutcome::kUnreadable;  // a folder reads as EISDIR
        break;
      }
      contents.resize(before + static_cast<std::size_t>(got));
      if (contents.size() > limit) {
        outcome = ReadOutcome::kTooLarge;
        break;
      }
      if (got == 0)
        break;
    }
    ::close(fd);
    if (outcome != ReadOutcome::kRead)
      contents.clear();
    return outcome;
  }

  FolderSnapshot Snapshot(const std::string& folder, ClientFileSet wanted) override {
    FolderSnapshot snapshot;
    snapshot.folderExists = FolderExists(folder);
    if (!snapshot.folderExists)
      return snapshot;
    for (std::size_t i = 0; i < kClientFileCount; ++i) {
      const auto file = static_cast<ClientFile>(i);
      if ((wanted & FileBit(file)) == 0)
        continue;
      struct stat info {};
      if (StatPath(folder + ClientFileName(file), info) && !S_ISDIR(info.st_mode)) {
        snapshot.present[i] = true;
        snapshot.lastWrite[i] = ToLocalDateTime(info.st_mtime);
        snapshot.size[i] = static_cast<std::int64_t>(info.st_size);
        snapshot.writeSeconds[i] = static_cast<std::int64_t>(info.st_mtime);
      }
    }
    return snapshot;
  }

 private:
  bool StatPath(const std::string& path, struct stat& info) {
    return ::stat(ToNativePath(path).c_str(), &info) == 0;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakePlatformFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace velmora
