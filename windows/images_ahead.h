// The toolbar's and the table's image lists, made on a thread of their own while the window and
// its other controls are created: each image is a few GDI and USER objects, and under a busy
// window server they were a fifth of the time to the first window.
#pragma once

#include <thread>

#include "windows/handles.h"

namespace velmora::win {

class ImagesAhead {
 public:
  // Starts making both lists at `size` pixels. When no thread can be started, each list is made
  // when it is taken.
  explicit ImagesAhead(int size);
  ~ImagesAhead();
  ImagesAhead(const ImagesAhead&) = delete;
  ImagesAhead& operator=(const ImagesAhead&) = delete;

  // The list made ahead when it was made at `size`; otherwise one made now.
  ImageListHandle TakeButtons(int size);
  ImageListHandle TakeStateBalls(int size);

 private:
  void Wait();

  int size_;
  ImageListHandle buttons_;
  ImageListHandle stateBalls_;
  std::thread maker_;
};

}  // namespace velmora::win
