// The file-system layer over the Win32 ANSI functions. Read-only: files are opened for reading
// with other writers shut out for the moment of the read, and nothing is ever written.
#include <windows.h>

#include "core/fs_win32.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace velmora {
namespace {

// Errors that say the folder cannot be reached at all: the server or the network is gone, or
// the device is not ready. Wine reports a network file system that fails this way as
// ERROR_GEN_FAILURE or ERROR_NOT_READY.
bool SaysUnreachable(DWORD error) {
  switch (error) {
    case ERROR_NOT_READY:
    case ERROR_GEN_FAILURE:
    case ERROR_REM_NOT_LIST:
    case ERROR_BAD_NETPATH:
    case ERROR_NETWORK_BUSY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NET_NAME:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NO_NET_OR_BAD_PATH:
    case ERROR_CONNECTION_REFUSED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_CONNECTION_ABORTED:
    case ERROR_HOST_DOWN:
    case ERROR_NOT_CONNECTED:
      return true;
    default:
      return false;
  }
}

bool IsFolderAttributes(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Local time at two-second resolution, unset outside the years a DOS date-time holds. The range
// is checked by ToTwoSecondTime, not left to FileTimeToDosDateTime: Windows refuses a year after
// 2107 there, but Wine wraps it (2110 comes back as 1982).
LocalDateTime ToLocalDateTime(const FILETIME& utc) {
  FILETIME local{};
  SYSTEMTIME fields{};
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &fields))
    return {};
  return ToTwoSecondTime(
      {fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond});
}

std::int64_t SecondsSince1970(const FILETIME& utc) {
  constexpr ULONGLONG kTicksTo1970 = 116444736000000000ULL;  // 100 ns ticks from 1601 to 1970
  const ULONGLONG ticks = (ULONGLONG{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
  return ticks < kTicksTo1970 ? -1 : static_cast<std::int64_t>((ticks - kTicksTo1970) / 10000000ULL);
}

class Win32FileSystem final : public FileSystem {
 public:
  explicit Win32FileSystem(WhileReading whileReading) : whileReading_(std::move(whileReading)) {}

  bool FileExists(const std::string& path) override {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  bool FolderExists(const std::string& path) override {
    return IsFolderAttributes(::GetFileAttributesA(path.c_str()));
  }

  LocalDateTime LastWriteTime(const std::string& path) override {
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
      return {};
    ::FindClose(find);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      return {};
    return ToLocalDateTime(found.ftLastWriteTime);
  }

  ReadOutcome ReadShared(const std::string& path, std::size_t limit, std::string& contents) override {
    contents.clear();
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::kMissing
                                                                            : ReadOutcome::kUnreadable;
    }
    if (whileReading_)
      whileReading_(path);
    const ReadOutcome outcome = ReadOpenFile(file, limit, contents);
    ::CloseHandle(file);
    if (outcome != ReadOutcome::kRead)
      contents.clear();
    return outcome;
  }

  // One attribute query per wanted file answers existence and time together, and its error
  // tells a missing folder (path not found) from a missing file, so the folder needs no test
  // of its own. An error that says the folder cannot be reached ends the look at once: every
  // further call would wait as long to say the same. Any other failure falls back to the plain
  // queries, which then decide.
  FolderSnapshot Snapshot(const std::string& folder, ClientFileSet wanted) override {
    FolderSnapshot snapshot;
    bool folderKnown = false;
    for (std::size_t i = 0; i < kClientFileCount; ++i) {
      const auto file = static_cast<ClientFile>(i);
      if ((wanted & FileBit(file)) == 0)
        continue;
      const std::string path = folder + ClientFileName(file);
      WIN32_FILE_ATTRIBUTE_DATA data{};
      if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        folderKnown = snapshot.folderExists = true;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
          snapshot.present[i] = true;
          snapshot.lastWrite[i] = ToLocalDateTime(data.ftLastWriteTime);
          snapshot.size[i] =
              static_cast<std::int64_t>((ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
          snapshot.writeSeconds[i] = SecondsSince1970(data.ftLastWriteTime);
        }
        continue;
      }
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_NOT_FOUND) {
        folderKnown = snapshot.folderExists = true;
      } else if (error == ERROR_PATH_NOT_FOUND) {
        // Nothing can be found below a folder that is not there.
        return FolderSnapshot{};
      } else if (SaysUnreachable(error)) {
        FolderSnapshot unreachable;
        unreachable.unreachable = true;
        return unreachable;
      } else if (FileExists(path)) {
        snapshot.present[i] = true;
        snapshot.lastWrite[i] = LastWriteTime(path);
      }
    }
    if (!folderKnown)
      snapshot.folderExists = FolderExists(folder);
    return snapshot;
  }

 private:
  WhileReading whileReading_;

  ReadOutcome ReadOpenFile(HANDLE file, std::size_t limit, std::string& contents) {
    constexpr DWORD kChunk = 64 * 1024;
    for (;;) {
      const std::size_t before = contents.size();
      contents.resize(before + kChunk);
      DWORD got = 0;
      if (!::ReadFile(file, contents.data() + before, kChunk, &got, nullptr))
        return ReadOutcome::kUnreadable;
      contents.resize(before + got);
      if (contents.size() > limit)
        return ReadOutcome::kTooLarge;
      // A disk file reads short only at its end.
      if (got < kChunk)
        return ReadOutcome::kRead;
    }
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeWin32FileSystem(WhileReading whileReading) {
  return std::make_unique<Win32FileSystem>(std::move(whileReading));
}

std::unique_ptr<FileSystem> MakePlatformFileSystem() {
  return MakeWin32FileSystem({});
}

}  // namespace velmora
