#include "windows/images_ahead.h"

#include <system_error>
#include <utility>

#include "windows/artwork.h"

namespace velmora::win {

ImagesAhead::ImagesAhead(int size) : size_(size) {
  try {
    maker_ = std::thread([this] {
      try {
        buttons_ = MakeButtonImageList(size_);
        stateBalls_ = MakeStateImageList(size_);
      } catch (...) {
        // What could not be made ahead is made when it is taken.
      }
    });
  } catch (const std::system_error&) {
  }
}

ImagesAhead::~ImagesAhead() {
  Wait();
}

void ImagesAhead::Wait() {
  if (maker_.joinable())
    maker_.join();
}

ImageListHandle ImagesAhead::TakeButtons(int size) {
  Wait();
  if (size == size_ && buttons_)
    return std::move(buttons_);
  return MakeButtonImageList(size);
}

ImageListHandle ImagesAhead::TakeStateBalls(int size) {
  Wait();
  if (size == size_ && stateBalls_)
    return std::move(stateBalls_);
  return MakeStateImageList(size);
}

}  // namespace velmora::win
