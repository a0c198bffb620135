// Image lists made ahead on a thread hold every image at the size taken, whether made ahead at it
// or made at once at another; a list taken is made again for whoever asks next.
#include "windows/images_ahead.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tests/support/win32/canvas.h"

namespace velmora::win {
namespace {

TEST(ImagesAhead, EachListHoldsEveryImageAtTheSizeTaken) {
  for (const auto& [madeAt, takenAt] : {std::pair{16, 16}, std::pair{16, 32}}) {
    ImagesAhead ahead(madeAt);
    for (const auto& [list, count, size] : {std::tuple{ahead.TakeButtons(takenAt), 8, takenAt},
                                            std::tuple{ahead.TakeStateBalls(takenAt), 5, takenAt},
                                            std::tuple{ahead.TakeButtons(madeAt), 8, madeAt}}) {
      EXPECT_EQ(::ImageList_GetImageCount(list.Get()), count) << madeAt << " " << takenAt;
      EXPECT_EQ(testing::ImageSize(list.Get()), (std::vector<int>{size, size})) << madeAt << " " << takenAt;
    }
  }
}

}  // namespace
}  // namespace velmora::win
