// The texts of the notification-area icon: its tip with the counters, the info tip of a stalled
// row, and the one balloon that gathers what a batch of answers has to tell. Windows keeps them
// in fixed buffers (NOTIFYICONDATA's szTip, szInfoTitle and szInfo), so every text made here
// already fits its buffer, terminating NUL included. Strings are single-byte ANSI text, as
// everywhere in the program; the icon's own copy into those buffers also keeps a double-byte
// character whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/local_time.h"
#include "monitor/settings.h"
#include "monitor/stall_watch.h"

namespace velmora {

inline constexpr std::size_t kTrayTipChars = 127;      // szTip[128]
inline constexpr std::size_t kBalloonTitleChars = 63;  // szInfoTitle[64]
inline constexpr std::size_t kBalloonTextChars = 255;  // szInfo[256]

struct Balloon {
  std::string title;
  std::string text;  // one line per kind of news, "\n" between them
  bool operator==(const Balloon&) const = default;
};

// "Velmora: Work 4, Ready 1, Stalled 1".
std::string TrayTip(int work, int ready, int stalled);

// "No progress since hh:nn" (24-hour local time), the info tip of a stalled row.
std::string NoProgressTip(const LocalDateTime& since);

// The caption (folder path) of the row with this id.
using CaptionOf = std::function<std::string(std::uint64_t id)>;

// The balloon for one batch's transitions, titled "Velmora":
//   one stalled row   "<location>: no progress for 20 minutes" (the stall time of `options`)
//   several           "3 locations stalled"
//   one result        "<location>: result waiting to be sent"
//   several           "2 results waiting to be sent"
// stalls first, each kind only when its switch is on. Nothing when there is nothing to tell or
// the icon is off (a balloon needs the icon). A long path is shortened in its middle so that
// the line keeps its end and the text fits.
std::optional<Balloon> GatherAlerts(const StallTransitions& transitions,
                                    const CaptionOf& captionOf,
                                    const AlertOptions& options);

// At most `maxChars` characters of `text`: the beginning.
std::string FitText(std::string_view text, std::size_t maxChars);
// At most `maxChars` characters of `path`: its beginning, "..." and its end, the end longer,
// since the folder's own name is what tells one location from another.
std::string ShortenPath(std::string_view path, std::size_t maxChars);

}  // namespace velmora
