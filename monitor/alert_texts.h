// The texts of the notification-area icon: its tip with the counters, and the one balloon that
// gathers what a batch of answers has to tell. Windows keeps them in fixed buffers
// (NOTIFYICONDATA's szTip, szInfoTitle and szInfo), so every text made here already fits its
// buffer, terminating NUL included. Strings are ANSI text, as everywhere in the
// program: on Japanese, Chinese and Korean Windows a character may take two bytes, under the
// UTF-8 code page up to four, and no cut made here splits one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/char_sizes.h"
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
                                    const AlertOptions& options,
                                    const CharSizes& sizes = CharSizes::SingleByte());

// At most `maxChars` bytes of `text`: the beginning, up to the last whole character that fits.
std::string FitText(std::string_view text,
                    std::size_t maxChars,
                    const CharSizes& sizes = CharSizes::SingleByte());
// At most `maxChars` bytes of `path`: its beginning, "..." and its end, the end longer, since the
// folder's own name is what tells one location from another. Both parts hold whole characters.
std::string ShortenPath(std::string_view path,
                        std::size_t maxChars,
                        const CharSizes& sizes = CharSizes::SingleByte());

}  // namespace velmora
