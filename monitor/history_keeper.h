// The history's side of each pass, on the history thread: the unit model sees every look, and
// the units it finds are written to the store before anything shows them. A database that
// cannot be written pauses the history (the units found meanwhile wait in memory) and is tried
// again later; a damaged one is moved aside and a fresh one started. Either is told once.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "monitor/history_store.h"
#include "monitor/unit_history.h"

namespace velmora {

struct HistoryPlace {
  std::string fileName;  // the program's own path of history.db
  std::string (*sqliteName)(const std::string&) = nullptr;
  // Makes the folders above the file; false when they cannot be made.
  bool (*makeFolders)(const std::string& fileName) = nullptr;
  int busyMilliseconds = 3000;
};

class HistoryKeeper {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kRetryAfter{60};
  // Units found while paused wait in memory up to this many; older ones go first.
  static constexpr std::size_t kMostWaiting = 100000;

  explicit HistoryKeeper(HistoryPlace place);

  // One pass's looks; returns the units newly kept.
  std::vector<FinishedUnit> Pass(const std::vector<UnitSighting>& looks, Clock::time_point now);
  // The store to query; null while the history is paused.
  HistoryStore* Store(Clock::time_point now);
  // Texts for the user since the last call.
  std::vector<std::string> TakeNotices();
  bool Paused() const { return !store_; }

 private:
  bool EnsureOpen(Clock::time_point now);
  void Pause(const HistoryError& error, Clock::time_point now);

  HistoryPlace place_;
  UnitHistory units_;
  std::unique_ptr<HistoryStore> store_;
  std::vector<FinishedUnit> waiting_;
  Clock::time_point retryAt_{};
  bool pauseTold_ = false;
  std::vector<std::string> notices_;
};

}  // namespace velmora
