#include "tests/support/straight_readers.h"

#include <cstdio>
#include <vector>

#include "core/file_system.h"
#include "core/text.h"

namespace velmora::testing {
namespace {

std::string FolderPart(const std::string& path) {
  const std::size_t end = path.find_last_of("\\:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
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
  std::vector<std::string> lines;
  if (!LoadLines(fs, JoinPath(folder, "state.sah"), lines))
    return false;
  for (const std::string& line : lines) {
    const std::string trimmed = TrimText(line);
    if (StartsWithText(trimmed, "prog=")) {
      state.Progress = SafeStrToFloat(ValueAfter(trimmed, '=')) * 100;
    } else if (StartsWithText(trimmed, "cpu=")) {
      state.CpuTime = SafeStrToFloat(ValueAfter(trimmed, '='));
    }
  }
  return true;
}

bool StraightLoadUserInfo(FileSystem& fs, const std::string& folder, TUserInfo& user) {
  user.HasUserInfo = fs.FileExists(JoinPath(folder, "user_info.sah"));
  user.FolderExists = fs.FolderExists(FolderPart(JoinPath(folder, "user_info.sah")));
  if (!user.FolderExists)
    return false;
  std::vector<std::string> lines;
  if (!LoadLines(fs, JoinPath(folder, "user_info.sah"), lines))
    return false;
  for (const std::string& line : lines) {
    const std::string trimmed = TrimText(line);
    if (StartsWithText(trimmed, "name=")) {
      user.UserName = ValueAfter(trimmed, '=');
    } else if (StartsWithText(trimmed, "nresults=")) {
      user.ResultCount = SafeStrToInt(ValueAfter(trimmed, '='));
    } else if (StartsWithText(trimmed, "total_cpu=")) {
      user.TotalCpu = SafeStrToFloat(ValueAfter(trimmed, '='));
    }
  }
  return true;
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
