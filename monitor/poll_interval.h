// The refresh interval's limits, in seconds, for the stored setting and the up-down control that
// edits it alike.
#pragma once

namespace velmora {

// The up-down control holds a signed 16-bit position; an interval below a second would run the
// timer at 0.
inline constexpr int kMinPollInterval = 1;
inline constexpr int kMaxPollInterval = 32767;
inline constexpr int kDefaultPollInterval = 15;

}  // namespace velmora
