#include "tests/support/inline_pass.h"

namespace velmora::testing {

RefreshOutcome RefreshNow(LocationTable& table, FileSystem& fs, const PassClock& clock) {
  const PassStart start = table.BeginPass(clock, kTestInterval);
  for (const ReadRequest& request : start.reads)
    table.ApplyAnswer(AnswerRequest(fs, request));
  RefreshOutcome outcome = table.TakeChanges();
  outcome.ran = start.ran;
  return outcome;
}

}  // namespace velmora::testing
