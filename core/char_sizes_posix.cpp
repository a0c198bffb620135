#include "core/char_sizes.h"

namespace velmora {

// File names here are UTF-8 bytes.
const CharSizes& CharSizes::InForce() {
  static const CharSizes sizes = Utf8();
  return sizes;
}

}  // namespace velmora
