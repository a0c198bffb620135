#include "monitor/alert_texts.h"

#include <algorithm>
#include <cstdio>
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
std::string LocationLine(const std::string& path, const std::string& rest, std::size_t budget) {
  const std::size_t forPath = budget > rest.size() ? budget - rest.size() : 0;
  return FitText(ShortenPath(path, forPath) + rest, budget);
}

}  // namespace

std::string FitText(std::string_view text, std::size_t maxChars) {
  return std::string(text.substr(0, maxChars));
}

std::string ShortenPath(std::string_view path, std::size_t maxChars) {
  if (path.size() <= maxChars)
    return std::string(path);
  if (maxChars <= kEllipsisChars)
    return FitText(path, maxChars);
  const std::size_t kept = maxChars - kEllipsisChars;
  const std::size_t head = kept / 3;
  const std::size_t tail = kept - head;
  return std::string(path.substr(0, head)) + kEllipsis + std::string(path.substr(path.size() - tail));
}

std::string TrayTip(int work, int ready, int stalled) {
  return FitText("Velmora: Work " + std::to_string(work) + ", Ready " + std::to_string(ready) + ", Stalled " +
                     std::to_string(stalled),
                 kTrayTipChars);
}

std::string NoProgressTip(const LocalDateTime& since) {
  char clock[16];
  std::snprintf(clock, sizeof clock, "%02d:%02d", since.hour, since.minute);
  return std::string("No progress since ") + clock;
}

std::optional<Balloon> GatherAlerts(const StallTransitions& transitions,
                                    const CaptionOf& captionOf,
                                    const AlertOptions& options) {
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
          lineBudget));
    } else {
      lines.push_back(Count(stalls.size(), "location", "locations") + " stalled");
    }
  }
  if (tellResults) {
    if (results.size() == 1) {
      lines.push_back(LocationLine(captionOf(results.front()), ": result waiting to be sent", lineBudget));
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
