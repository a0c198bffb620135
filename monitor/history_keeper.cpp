#include "monitor/history_keeper.h"

#include <utility>

namespace velmora {

HistoryKeeper::HistoryKeeper(HistoryPlace place) : place_(std::move(place)) {}

bool HistoryKeeper::EnsureOpen(Clock::time_point now) {
  if (store_)
    return true;
  if (now < retryAt_)
    return false;
  try {
    if (place_.makeFolders && !place_.makeFolders(place_.fileName))
      throw HistoryError(HistoryTrouble::kCannotWrite,
                         "The folder of " + place_.fileName + " cannot be made.");
    OpenedHistory opened = OpenHistory(place_.fileName, place_.sqliteName, place_.busyMilliseconds);
    store_ = std::move(opened.store);
    if (!opened.movedAside.empty()) {
      notices_.push_back("The history file was damaged. It was moved to " + opened.movedAside +
                         " and a new history was started.");
    }
    pauseTold_ = false;
    return true;
  } catch (const HistoryError& error) {
    Pause(error, now);
    return false;
  }
}

void HistoryKeeper::Pause(const HistoryError& error, Clock::time_point now) {
  store_.reset();
  retryAt_ = now + kRetryAfter;
  if (!pauseTold_) {
    pauseTold_ = true;
    notices_.push_back(std::string("The history cannot be written and is paused; it will be tried again. ") +
                       error.what());
  }
}

std::vector<FinishedUnit> HistoryKeeper::Pass(const std::vector<UnitSighting>& looks, Clock::time_point now) {
  for (const UnitSighting& look : looks) {
    std::vector<FinishedUnit> found = units_.Observe(look);
    waiting_.insert(waiting_.end(), std::make_move_iterator(found.begin()),
                    std::make_move_iterator(found.end()));
  }
  if (waiting_.size() > kMostWaiting)
    waiting_.erase(waiting_.begin(), waiting_.end() - static_cast<std::ptrdiff_t>(kMostWaiting));
  if (waiting_.empty() || !EnsureOpen(now))
    return {};
  try {
    std::vector<FinishedUnit> added = store_->Record(waiting_);
    waiting_.clear();
    return added;
  } catch (const HistoryError& error) {
    if (error.Trouble() != HistoryTrouble::kDamaged) {
      Pause(error, now);
      return {};
    }
  }
  // Damaged while in use: set aside, and the units go to a fresh file at once.
  store_.reset();
  try {
    const std::string aside = MoveDamagedAside(place_.fileName);
    notices_.push_back("The history file was damaged. It was moved to " + aside +
                       " and a new history was started.");
  } catch (const HistoryError& error) {
    Pause(error, now);
    return {};
  }
  return Pass({}, now);
}

HistoryStore* HistoryKeeper::Store(Clock::time_point now) {
  return EnsureOpen(now) ? store_.get() : nullptr;
}

std::vector<std::string> HistoryKeeper::TakeNotices() {
  return std::exchange(notices_, {});
}

}  // namespace velmora
