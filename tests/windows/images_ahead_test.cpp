// Image lists made ahead on a thread hold every image at the size taken, whether made ahead at it
// or made at once at another; a list taken is made again for whoever asks next.
#include "windows/images_ahead.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <tuple>

namespace velmora::win {
namespace {

TEST(ImagesAhead, EachListHoldsEveryImageAtTheSizeTaken) {
  for (const auto& [madeAt, takenAt] : {std::pair{16, 16}, std::pair{16, 32}}) {
    ImagesAhead ahead(madeAt);
    for (const auto& [list, count, size] : {std::tuple{ahead.TakeButtons(takenAt), 8, takenAt},
                                            std::tuple{ahead.TakeStateBalls(takenAt), 5, takenAt},
                                            std::tuple{ahead.TakeButtons(madeAt), 8, madeAt}}) {
      int width = 0;
      int height = 0;
      EXPECT_TRUE(::ImageList_GetIconSize(list.Get(), &width, &height)) << madeAt << " " << takenAt;
      EXPECT_EQ(::ImageList_GetImageCount(list.Get()), count);
      EXPECT_EQ(std::pair(width, height), std::pair(size, size));
    }
  }
}

}  // namespace
}  // namespace velmora::win
