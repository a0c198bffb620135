#include "monitor/alert_texts.h"

#include <algorithm>
#include <vector>

namespace velmora {
namespace {

constexpr char kTitle[] = "Velmora";
constexpr char kEllipsis[] = "...";
constexpr std::size_t kEllipsisChars = sizeof(kEllipsis) - 1;

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A line about one location: the path takes what the fixed part leaves of `budget`.
std::string LocationLine(const std::string& path,
                         const std::string& rest,
                         std::size_t budget,
                         const CharSizes& sizes) {
  const std::size_t forPath = budget > rest.size() ? budget - rest.size() : 0;
  return FitText(ShortenPath(path, forPath, sizes) + rest, budget, sizes);
}

// Where the characters of `text` begin, and its end. A trail byte may look like any other
// character (0x5C, "\\", is one in code page 932), so they are found from the start only.
std::vector<std::size_t> CharStarts(std::string_view text, const CharSizes& sizes) {
  std::vector<std::size_t> starts;
  std::size_t at = 0;
  while (at < text.size()) {
    starts.push_back(at);
    at += sizes.Of(static_cast<unsigned char>(text[at]));
  }
  starts.push_back(text.size());  // a last character cut short by the text's end ends there
  return starts;
}

}  // namespace

std::string FitText(std::string_view text, std::size_t maxChars, const CharSizes& sizes) {
  if (text.size() <= maxChars)
    return std::string(text);
  std::size_t end = 0;
  for (std::size_t at = 0; at <= maxChars; at += sizes.Of(static_cast<unsigned char>(text[at])))
    end = at;
  return std::string(text.substr(0, end));
}

std::string ShortenPath(std::string_view path, std::size_t maxChars, const CharSizes& sizes) {
  if (path.size() <= maxChars)
    return std::string(path);
  if (maxChars <= kEllipsisChars)
    return FitText(path, maxChars, sizes);
  const std::size_t kept = maxChars - kEllipsisChars;
  const std::string head = FitText(path, kept / 3, sizes);
  const std::size_t tail = kept - head.size();
  const std::vector<std::size_t> starts = CharStarts(path, sizes);
  const std::size_t tailStart = *std::lower_bound(starts.begin(), starts.end(), path.size() - tail);
  return head + kEllipsis + std::string(path.substr(tailStart));
}

std::string TrayTip(int work, int ready, int stalled) {
  return FitText("Velmora: Work " + std::to_string(work) + ", Ready " + std::to_string(ready) + ", Stalled " +
                     std::to_string(stalled),
                 kTrayTipChars);
}

std::optional<Balloon> GatherAlerts(const StallTransitions& transitions,
                                    const CaptionOf& captionOf,
                                    const AlertOptions& options,
                                    const CharSizes& sizes) {
  if (!options.trayIcon)
    return std::nullopt;
  const auto& stalls = transitions.stallAlerts;
  const auto& results = transitions.resultAlerts;
  const bool tellStalls = options.alertStalls && !stalls.empty();
  const bool tellResults = options.alertResults && !results.empty();
  if (!tellStalls && !tellResults)
    return std::nullopt;

  // Two lines share the text evenly, the "\n" between them included.
  const std::size_t lineBudget = tellStalls && tellResults ? (kBalloonTextChars - 1) / 2 : kBalloonTextChars;
  std::vector<std::string> lines;
  if (tellStalls) {
    if (stalls.size() == 1) {
      lines.push_back(LocationLine(
          captionOf(stalls.front()),
          ": no progress for " +
              Count(static_cast<std::size_t>(std::max(options.stallMinutes, 1)), "minute", "minutes"),
          lineBudget, sizes));
    } else {
      lines.push_back(Count(stalls.size(), "location", "locations") + " stalled");
    }
  }
  if (tellResults) {
    if (results.size() == 1) {
      lines.push_back(
          LocationLine(captionOf(results.front()), ": result waiting to be sent", lineBudget, sizes));
    } else {
      lines.push_back(Count(results.size(), "result", "results") + " waiting to be sent");
    }
  }

  Balloon balloon{kTitle, lines.front()};
  if (lines.size() > 1)
    balloon.text += "\n" + lines.back();
  return balloon;
}

}  // namespace velmora
