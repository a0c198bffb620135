#include "tests/support/inline_pass.h"

#include <cstring>

namespace velmora::testing {

RefreshOutcome RefreshNow(LocationTable& table, FileSystem& fs, const PassClock& clock) {
  const PassStart start = table.BeginPass(clock, kTestInterval);
  for (const ReadRequest& request : start.reads)
    table.ApplyAnswer(AnswerRequest(fs, request));
  RefreshOutcome outcome = table.TakeChanges();
  outcome.ran = start.ran;
  return outcome;
}

int ByteOrder(const char* a, const char* b) {
  return std::strcmp(a, b);
}

PassClock At(std::chrono::milliseconds since) {
  return PassClock{SteadyTime{} + since, LocalDateTime{2024, 5, 17, 9, 41, 7}};
}

}  // namespace velmora::testing
