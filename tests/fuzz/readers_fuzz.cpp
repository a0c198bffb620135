// Arbitrary bytes as the contents of state.sah and user_info.sah, through LoadLines and both
// readers. The records must stay well-formed whatever the client (or a broken disk) wrote.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/client_readers.h"
#include "core/file_system.h"
#include "core/text.h"
#include "tests/support/one_file_system.h"

namespace {

using namespace velmora;

void Check(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // Every client file exists and holds the fuzzer's bytes.
  testing::OneFileSystem fs(bytes);

  std::vector<std::string> lines{"stale"};
  const bool gotLines = LoadLines(fs, "C:\\seti\\state.sah", lines);
  Check(gotLines == !lines.empty());
  std::size_t characters = 0;
  for (const std::string& line : lines) {
    Check(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos);
    Check(line.find('\0') == std::string::npos);
    characters += line.size();
  }
  Check(characters <= size);

  TState state;
  const bool stateLoaded = state.Load(fs, "C:\\seti");
  Check(stateLoaded == gotLines);
  Check(state.FolderExists && state.HasState && state.HasWorkUnit);
  Check(state.Progress == -1 || std::isfinite(state.Progress));
  Check(state.CpuTime == -1 || std::isfinite(state.CpuTime));

  TUserInfo user;
  Check(user.Load(fs, "C:\\seti\\") == gotLines);
  Check(user.TotalCpu == -1 || std::isfinite(user.TotalCpu));
  Check(user.UserName.size() <= size);
  return 0;
}
