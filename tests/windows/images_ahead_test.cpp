// Image lists made ahead on a thread: taken at the size they were made at, or made at once at
// another size, each list holds every image at the size asked for.
#include "windows/images_ahead.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace velmora::win {
namespace {

TEST(ImagesAhead, EachListHoldsEveryImageAtTheSizeTaken) {
  struct Row {
    int madeAt;
    int takenAt;
  };
  for (const Row row : {Row{16, 16}, Row{24, 24}, Row{16, 32}}) {
    SCOPED_TRACE(testing::Message() << "made at " << row.madeAt << ", taken at " << row.takenAt);
    ImagesAhead ahead(row.madeAt);
    for (const auto& [list, count] :
         {std::pair{ahead.TakeButtons(row.takenAt), 8}, std::pair{ahead.TakeStateBalls(row.takenAt), 5}}) {
      ASSERT_TRUE(list);
      EXPECT_EQ(::ImageList_GetImageCount(list.Get()), count);
      int width = 0;
      int height = 0;
      ASSERT_TRUE(::ImageList_GetIconSize(list.Get(), &width, &height));
      EXPECT_EQ(width, row.takenAt);
      EXPECT_EQ(height, row.takenAt);
    }
    // Once taken, a list is made again for whoever asks next.
    EXPECT_TRUE(ahead.TakeButtons(row.madeAt));
  }
}

}  // namespace
}  // namespace velmora::win
