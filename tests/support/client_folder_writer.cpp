#include "tests/support/client_folder_writer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "windows/handles.h"
#endif

namespace velmora::testing {

namespace {

#ifdef _WIN32
// Straight Win32 calls: through the C++ streams a rewrite under Wine costs about four times as
// much, and the benchmarks rewrite hundreds of state files between passes. False when the file
// cannot be opened even after waiting for a reader that holds it, or its folder is not there.
bool Rewrite(const std::string& path, std::string_view contents) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    const win::FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      DWORD written = 0;
      return ::WriteFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()), &written,
                         nullptr) != FALSE &&
             written == contents.size();
    }
    if (::GetLastError() != ERROR_SHARING_VIOLATION)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}
#endif

}  // namespace

std::string ClientFolderWriter::Path(std::string_view relative) const {
  if (memory_)
    return root_.empty() ? std::string(relative) : root_ + "\\" + std::string(relative);
  return relative.empty() ? disk_->ProgramPath() : disk_->ProgramPath(relative);
}

std::string ClientFolderWriter::Write(std::string_view name,
                                      const ClientFiles& files,
                                      const ClientFileTimes& times) const {
  const std::string folder(name);
  if (memory_)
    memory_->AddFolder(Path(folder));
  else
    disk_->MakeFolder(folder);
  const std::pair<const FileText*, const char*> named[] = {
      {&files.state, "state.sah"},        {&files.userInfo, "user_info.sah"}, {&files.version, "version.sah"},
      {&files.workUnit, "work_unit.sah"}, {&files.outfile, "outfile.sah"},    {&files.result, "result.sah"},
      {&files.tempResult, "wtemp.sah"},
  };
  for (const auto& [contents, file] : named) {
    if (*contents) {
      const std::string relative = folder.empty() ? std::string(file) : folder + "\\" + file;
      WriteFile(relative, **contents, contents == &files.state ? times.state : times.others);
    }
  }
  return Path(name);
}

void ClientFolderWriter::WriteFile(std::string_view relative,
                                   std::string_view contents,
                                   LocalDateTime time) const {
  if (memory_) {
    memory_->AddFile(Path(relative), contents, time);
    return;
  }
#ifdef _WIN32
  if (Rewrite(disk_->ProgramPath(relative), contents))
    return;
#endif
  disk_->WriteFile(relative, contents);  // makes the folders on the way, or says why it cannot
}

void ClientFolderWriter::Remove(std::string_view relative) const {
  if (memory_) {
    memory_->Remove(Path(relative));
    return;
  }
  std::string path = disk_->ProgramPath(relative);
#ifndef _WIN32
  std::replace(path.begin(), path.end(), '\\', '/');
#endif
  std::error_code error;
  std::filesystem::remove(path, error);
}

}  // namespace velmora::testing
