#include "tests/support/straight_readers.h"

#include <cstdio>
#include <vector>

#include "core/char_sizes.h"
#include "core/file_system.h"
#include "core/text.h"

namespace velmora::testing {
namespace {

std::string FolderPart(const std::string& path) {
  const std::size_t end = FindLastCharOf(path, "\\:", CharSizes::InForce());
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

// LoadLines of `path`, then `take` with each line trimmed.
template <typename Take>
bool ForEachTrimmedLine(FileSystem& fs, const std::string& path, Take take) {
  std::vector<std::string> lines;
  if (!LoadLines(fs, path, lines))
    return false;
  for (const std::string& line : lines)
    take(TrimText(line));
  return true;
}

}  // namespace

bool StraightLoadState(FileSystem& fs, const std::string& folder, TState& state) {
  state.HasWorkUnit = fs.FileExists(JoinPath(folder, "work_unit.sah"));
  state.HasState = fs.FileExists(JoinPath(folder, "state.sah"));
  state.HasResult = fs.FileExists(JoinPath(folder, "result.sah"));
  state.HasTempResult = fs.FileExists(JoinPath(folder, "wtemp.sah"));
  if (state.HasState)
    state.StateTime = fs.LastWriteTime(JoinPath(folder, "state.sah"));
  state.FolderExists = fs.FolderExists(FolderPart(JoinPath(folder, "state.sah")));
  if (!state.FolderExists)
    return false;
  return ForEachTrimmedLine(fs, JoinPath(folder, "state.sah"), [&state](const std::string& line) {
    if (StartsWithText(line, "prog="))
      state.Progress = SafeStrToFloat(ValueAfter(line, '=')) * 100;
    else if (StartsWithText(line, "cpu="))
      state.CpuTime = SafeStrToFloat(ValueAfter(line, '='));
  });
}

bool StraightLoadUserInfo(FileSystem& fs, const std::string& folder, TUserInfo& user) {
  user.HasUserInfo = fs.FileExists(JoinPath(folder, "user_info.sah"));
  user.FolderExists = fs.FolderExists(FolderPart(JoinPath(folder, "user_info.sah")));
  if (!user.FolderExists)
    return false;
  return ForEachTrimmedLine(fs, JoinPath(folder, "user_info.sah"), [&user](const std::string& line) {
    if (StartsWithText(line, "name="))
      user.UserName = ValueAfter(line, '=');
    else if (StartsWithText(line, "nresults="))
      user.ResultCount = SafeStrToInt(ValueAfter(line, '='));
    else if (StartsWithText(line, "total_cpu="))
      user.TotalCpu = SafeStrToFloat(ValueAfter(line, '='));
  });
}

bool SameRecord(const TState& a, const TState& b) {
  return a.FolderExists == b.FolderExists && a.HasWorkUnit == b.HasWorkUnit && a.HasState == b.HasState &&
         a.HasResult == b.HasResult && a.HasTempResult == b.HasTempResult && a.StateTime == b.StateTime &&
         a.Progress == b.Progress && a.CpuTime == b.CpuTime;
}

bool SameRecord(const TUserInfo& a, const TUserInfo& b) {
  return a.FolderExists == b.FolderExists && a.HasUserInfo == b.HasUserInfo && a.UserName == b.UserName &&
         a.ResultCount == b.ResultCount && a.TotalCpu == b.TotalCpu;
}

std::string Describe(const TState& s) {
  char text[256];
  std::snprintf(text, sizeof text,
                "folder=%d wu=%d state=%d result=%d temp=%d time=%04d-%02d-%02d %02d:%02d:%02d "
                "progress=%.17g cpu=%.17g",
                s.FolderExists, s.HasWorkUnit, s.HasState, s.HasResult, s.HasTempResult, s.StateTime.year,
                s.StateTime.month, s.StateTime.day, s.StateTime.hour, s.StateTime.minute, s.StateTime.second,
                s.Progress, s.CpuTime);
  return text;
}

}  // namespace velmora::testing
