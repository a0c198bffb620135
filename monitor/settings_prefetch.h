// The stored settings, read on a thread of their own while the window and its controls are made:
// with thousands of locations, reading the store entry by entry is the longest part of start-up.
//
// The thread runs the load itself against the store and keeps every answer the store gave, a
// failure included. The window's own load then gets the same answers from memory, in the same
// order, and asks the store itself for anything the thread did not read, so it fills the window's
// value exactly as a load straight from the store would.
#pragma once

#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "monitor/settings_store.h"

namespace velmora {

class SettingsPrefetch {
 public:
  // Starts reading `source` as LoadSettings would. When no thread can be started, nothing is
  // read ahead and the window's load reads the store itself.
  SettingsPrefetch(SettingsStore& source, int dpi, std::string appDir);
  ~SettingsPrefetch();
  SettingsPrefetch(const SettingsPrefetch&) = delete;
  SettingsPrefetch& operator=(const SettingsPrefetch&) = delete;

  // Waits for the thread; the store to load from. Only this thread may use the source from here
  // on.
  SettingsStore& Ready();

 private:
  // What the store answered for one entry, or for one batch of entries of a section.
  struct Answer {
    bool found = false;
    std::string text;
    bool failed = false;
    std::string failure;
  };
  struct BatchAnswer {
    std::vector<std::string> values;
    bool failed = false;
    std::string failure;
  };
  using EntryName = std::pair<std::string, std::string>;
  using BatchName = std::pair<std::pair<std::string, std::vector<std::string>>, std::string>;

  // Passes reads on to the source and keeps the answers while the thread reads; afterwards gives
  // the kept answers and passes on anything else.
  class Store : public SettingsStore {
   public:
    explicit Store(SettingsStore& source) : source_(source) {}
    bool ReadRaw(const std::string& section, const std::string& key, std::string& value) override;
    void WriteRaw(const std::string& section, const std::string& key, const std::string& value) override;
    void ReadTexts(const std::string& section,
                   const std::vector<std::string>& keys,
                   const std::string& defaultValue,
                   std::vector<std::string>& values) override;
    void StopRecording() { recording_ = false; }

   private:
    SettingsStore& source_;
    bool recording_ = true;
    std::map<EntryName, Answer> entries_;
    std::map<BatchName, BatchAnswer> batches_;
  };

  Store store_;
  std::thread reader_;
};

}  // namespace velmora
