#include "monitor/repaint_ranges.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "tests/support/named_rows.h"

namespace velmora {
namespace {

using testing::RowName;
struct RepaintCase {
  const char* name;
  std::vector<std::size_t> changed;
  std::size_t firstShown;
  std::size_t lastShown;
  std::vector<RowRange> expected;
};

class RowsToRepaintTest : public ::testing::TestWithParam<RepaintCase> {};

TEST_P(RowsToRepaintTest, RunsOfChangedRowsCutToTheRowsShown) {
  EXPECT_EQ(RowsToRepaint(GetParam().changed, GetParam().firstShown, GetParam().lastShown),
            GetParam().expected);
}

const RepaintCase kPasses[] = {{"NothingChanged", {}, 0, 10, {}},
                               {"OneRow", {3}, 0, 10, {{3, 3}}},
                               {"RunsSplitAtGaps", {1, 2, 3, 5, 7, 8}, 0, 10, {{1, 3}, {5, 5}, {7, 8}}},
                               {"RunCutAtBothEdges", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 3, 6, {{3, 6}}},
                               {"RunsOutOfSightLeftOut", {0, 1, 20, 21, 40}, 10, 30, {{20, 21}}},
                               {"EdgeRowsCount", {9, 31}, 10, 30, {}},
                               {"RowsAtTheEdges", {10, 30}, 10, 30, {{10, 10}, {30, 30}}},
                               {"EveryRowOfAThousand",
                                [] {
                                  std::vector<std::size_t> all(1000);
                                  for (std::size_t i = 0; i < all.size(); ++i)
                                    all[i] = i;
                                  return all;
                                }(),
                                500,
                                520,
                                {{500, 520}}},
                               {"NothingShown", {0, 1, 2}, 5, 4, {}}};

INSTANTIATE_TEST_SUITE_P(Passes, RowsToRepaintTest, ::testing::ValuesIn(kPasses), RowName());

}  // namespace
}  // namespace velmora
