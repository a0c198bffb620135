#include "monitor/finish_estimate.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace velmora {

namespace {

constexpr std::chrono::seconds kLeastWatched{60};

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
long long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(long long days, int& year, int& month, int& day) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long monthIndex = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

bool FinishEstimate::Observe(SteadyTime now, double progress, bool stateThere) {
  if (progress < 0 && !stateThere) {
    const bool had = !readings_.empty();
    Reset();
    return had;
  }
  const bool looksNew = progress < 0 || (!readings_.empty() && progress < readings_.back().progress);
  if (looksNew) {
    if (readings_.empty())
      return false;
    if (!held_) {
      held_ = Reading{now, progress};
      return false;
    }
    RestartConfirmed(now, progress);
    return true;
  }
  held_.reset();
  if (!readings_.empty() && progress == readings_.back().progress)
    return false;
  if (readings_.size() == kMaxReadings) {
    // The reading whose neighbours stand closest together goes, so that the kept ones stay
    // about evenly spread over the time watched (the first and the latest always stay).
    std::size_t drop = 1;
    for (std::size_t i = 2; i + 1 < readings_.size(); ++i) {
      if (readings_[i + 1].time - readings_[i - 1].time < readings_[drop + 1].time - readings_[drop - 1].time)
        drop = i;
    }
    readings_.erase(readings_.begin() + static_cast<std::ptrdiff_t>(drop));
  }
  readings_.push_back({now, progress});
  return true;
}

void FinishEstimate::RestartConfirmed(SteadyTime now, double progress) {
  const std::optional<Reading> held = std::exchange(held_, std::nullopt);
  readings_.clear();
  if (held && held->progress >= 0)
    readings_.push_back(*held);
  if (progress >= 0 && (readings_.empty() || progress > readings_.back().progress))
    readings_.push_back({now, progress});
}

double FinishEstimate::ProgressAt(SteadyTime time) const {
  for (std::size_t i = 1; i < readings_.size(); ++i) {
    const Reading& after = readings_[i];
    if (after.time < time)
      continue;
    const Reading& before = readings_[i - 1];
    const double span = std::chrono::duration<double>(after.time - before.time).count();
    const double into = std::chrono::duration<double>(time - before.time).count();
    return span > 0 ? before.progress + (after.progress - before.progress) * into / span : after.progress;
  }
  return readings_.back().progress;
}

std::optional<std::chrono::seconds> FinishEstimate::RemainingAfterLatest() const {
  if (readings_.size() < 2)
    return std::nullopt;
  const Reading& latest = readings_.back();
  const auto watched = latest.time - readings_.front().time;
  if (watched < kLeastWatched)
    return std::nullopt;
  const auto window = std::max<std::chrono::steady_clock::duration>(watched * 2 / 5, kLeastWatched);
  const double moved = latest.progress - ProgressAt(latest.time - window);
  if (moved <= 0)
    return std::nullopt;
  const double perSecond = moved / std::chrono::duration<double>(window).count();
  const double left = std::max(0.0, 1.0 - latest.progress) / perSecond;
  return std::chrono::seconds(std::llround(left));
}

LocalDateTime AddSeconds(const LocalDateTime& time, long long seconds) {
  if (!time.IsSet())
    return time;
  const long long total = DaysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600LL +
                          time.minute * 60LL + time.second + seconds;
  const long long days = total / 86400;
  const long long rest = total % 86400;
  LocalDateTime moved;
  CivilFromDays(days, moved.year, moved.month, moved.day);
  moved.hour = static_cast<int>(rest / 3600);
  moved.minute = static_cast<int>(rest % 3600 / 60);
  moved.second = static_cast<int>(rest % 60);
  return moved;
}

std::string FormatFinish(const LocalDateTime& finish, const LocalDateTime& today) {
  // A rate that needs more than a year to finish is too slow to be an honest estimate.
  LocalDateTime yearOn = today;
  ++yearOn.year;
  if (finish > yearOn)
    return std::string();
  char text[32];
  if (finish.year == today.year && finish.month == today.month && finish.day == today.day) {
    std::snprintf(text, sizeof text, "%02d:%02d", finish.hour, finish.minute);
  } else if (finish.year != today.year) {
    std::snprintf(text, sizeof text, "%04d.%02d.%02d %02d:%02d", finish.year, finish.month, finish.day,
                  finish.hour, finish.minute);
  } else {
    std::snprintf(text, sizeof text, "%02d.%02d %02d:%02d", finish.month, finish.day, finish.hour,
                  finish.minute);
  }
  return text;
}

}  // namespace velmora
