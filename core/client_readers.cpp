#include "core/client_readers.h"

#include <vector>

#include "core/char_sizes.h"
#include "core/file_system.h"
#include "core/text.h"

namespace velmora {
namespace {

// Everything up to and including the last "\" or ":". For a path made by JoinPath this is the
// location's folder with exactly one trailing "\".
std::string FolderPart(const std::string& path) {
  const std::size_t end = FindLastCharOf(path, "\\:", CharSizes::InForce());
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

// The lines of a file the snapshot already found, so no second existence test is needed.
bool LoadFoundLines(FileSystem& fs, bool found, const std::string& path, std::vector<std::string>& lines) {
  if (!found)
    return false;
  std::string contents;
  if (fs.ReadShared(path, kMaxTextFileBytes, contents) != ReadOutcome::kRead)
    return false;
  SplitLines(contents, lines);
  return !lines.empty();
}

}  // namespace

bool TState::Load(FileSystem& fs, const std::string& folder) {
  const std::string statePath = JoinPath(folder, ClientFileName(ClientFile::kState));
  const FolderSnapshot snapshot = fs.Snapshot(FolderPart(statePath), kStateReaderFiles);

  HasWorkUnit = snapshot.Has(ClientFile::kWorkUnit);
  HasState = snapshot.Has(ClientFile::kState);
  HasResult = snapshot.Has(ClientFile::kResult);
  HasTempResult = snapshot.Has(ClientFile::kTempResult);
  Unreachable = snapshot.unreachable;
  WorkUnitSize = snapshot.size[static_cast<std::size_t>(ClientFile::kWorkUnit)];
  WorkUnitSeconds = snapshot.writeSeconds[static_cast<std::size_t>(ClientFile::kWorkUnit)];
  ResultSeconds = snapshot.writeSeconds[static_cast<std::size_t>(ClientFile::kResult)];
  if (HasState)
    StateTime = snapshot.TimeOf(ClientFile::kState);
  FolderExists = snapshot.folderExists;
  if (!FolderExists)
    return false;

  std::vector<std::string> lines;
  if (!LoadFoundLines(fs, HasState, statePath, lines))
    return false;
  // A key counts only at the very start of the trimmed line, written together with its "=";
  // a later occurrence overrides an earlier one.
  for (const std::string& line : lines) {
    const std::string trimmed = TrimText(line);
    if (StartsWithText(trimmed, "prog=")) {
      Progress = SafeStrToFloat(ValueAfter(trimmed, '=')) * 100;
    } else if (StartsWithText(trimmed, "cpu=")) {
      CpuTime = SafeStrToFloat(ValueAfter(trimmed, '='));
    }
  }
  return true;
}

bool TUserInfo::Load(FileSystem& fs, const std::string& folder) {
  const std::string userPath = JoinPath(folder, ClientFileName(ClientFile::kUserInfo));
  const FolderSnapshot snapshot = fs.Snapshot(FolderPart(userPath), kUserReaderFiles);

  HasUserInfo = snapshot.Has(ClientFile::kUserInfo);
  Unreachable = snapshot.unreachable;
  FolderExists = snapshot.folderExists;
  if (!FolderExists)
    return false;

  std::vector<std::string> lines;
  if (!LoadFoundLines(fs, HasUserInfo, userPath, lines))
    return false;
  for (const std::string& line : lines) {
    const std::string trimmed = TrimText(line);
    if (StartsWithText(trimmed, "name=")) {
      UserName = ValueAfter(trimmed, '=');
    } else if (StartsWithText(trimmed, "nresults=")) {
      ResultCount = SafeStrToInt(ValueAfter(trimmed, '='));
    } else if (StartsWithText(trimmed, "total_cpu=")) {
      TotalCpu = SafeStrToFloat(ValueAfter(trimmed, '='));
    }
  }
  return true;
}

}  // namespace velmora
