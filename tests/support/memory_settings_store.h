// A settings store in memory for the window-free tests: sections of keys holding text or a value
// of another type (as a DWORD in the registry would be), writes that can be told to fail the way
// the registry fails, and a log of the writes that succeeded, in order.
//
// Names are compared letter for letter (the registry ignores case; nothing here relies on it).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "monitor/settings_store.h"

namespace velmora::testing {

class MemorySettingsStore : public SettingsStore {
 public:
  struct Write {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const Write&) const = default;
  };

  enum class WriteFailure {
    kCreateKey,  // the section cannot be created: "Failed to create key <section>"
    kSetData,    // the value cannot be set: "Failed to set data for '<key>'"
  };

  // Seeds an entry without logging it as a write.
  void SetText(const std::string& section, const std::string& key, const std::string& value);
  // Seeds an entry that is not text; reading it throws.
  void SetNonText(const std::string& section, const std::string& key);
  // Every later write of this entry fails as given and changes nothing.
  void FailWrite(const std::string& section, const std::string& key, WriteFailure failure);

  // The entry's text; nothing when it is absent or not text.
  std::optional<std::string> Text(const std::string& section, const std::string& key) const;
  bool Has(const std::string& section, const std::string& key) const;
  // Number of entries in the section, text or not.
  std::size_t EntryCount(const std::string& section) const;
  const std::vector<Write>& Writes() const { return writes_; }
  // Entries asked for so far, present or not.
  int ReadCount() const { return reads_; }
  void ClearWrites() { writes_.clear(); }

  bool ReadRaw(const std::string& section, const std::string& key, std::string& value) override;
  void WriteRaw(const std::string& section, const std::string& key, const std::string& value) override;

 private:
  struct Entry {
    bool isText = true;
    std::string text;
  };
  using EntryName = std::pair<std::string, std::string>;

  const Entry* Find(const std::string& section, const std::string& key) const;

  std::map<std::string, std::map<std::string, Entry>> sections_;
  std::map<EntryName, WriteFailure> failures_;
  std::vector<Write> writes_;
  int reads_ = 0;
};

// The message of the SettingsError that `action` throws; "" when it throws none.
std::string SettingsErrorOf(const std::function<void()>& action);

}  // namespace velmora::testing
