// The settings store over the registry: one key, held open for the whole run, whose subkeys are
// the sections and whose string values are the entries.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitor/settings_store.h"
#include "windows/handles.h"

namespace velmora::win {

// Below HKEY_CURRENT_USER.
inline constexpr char kUserSettingsKeyPath[] = "SOFTWARE\\Tarnek\\Velmora";

class RegistryStore final : public SettingsStore {
 public:
  // Opens `path` below `root` with full access, creating it and any missing parent keys. When
  // that fails nothing is reported: reads then give their defaults and every write fails.
  RegistryStore(HKEY root, const char* path);

  // Whether the key could be opened or created.
  bool IsOpen() const { return static_cast<bool>(key_); }

  // Values of type REG_SZ or REG_EXPAND_SZ (read as stored, not expanded); any other type throws
  // "Invalid data type for '<key>'".
  bool ReadRaw(const std::string& section, const std::string& key, std::string& value) override;
  void ReadTexts(const std::string& section,
                 const std::vector<std::string>& keys,
                 const std::string& defaultValue,
                 std::vector<std::string>& values) override;
  // Sets a REG_SZ value; throws "Failed to create key <section>" or "Failed to set data for '<key>'".
  // A text read with "?" for characters the code page lacks is written back as its original.
  void WriteRaw(const std::string& section, const std::string& key, const std::string& value) override;

 private:
  // Keeps the stored UTF-16 text of `value` when the code page could not hold it.
  void KeepOriginal(HKEY section, const std::string& key, const std::string& value);
  // What to store for `value`: a kept original with the rest of `value` after its last lost
  // character (a location's path with a new check box flag), or nothing.
  std::optional<std::wstring> OriginalOf(const std::string& value) const;

  KeyHandle key_;
  // By the text they were read as. Only where the program does not run under UTF-8 (Windows
  // before 1903 ignores the manifest's code page): a folder named in another script reads as
  // "?"s, and writing that back would lose the location.
  std::map<std::string, std::wstring> originals_;
};

// The program's own store: HKEY_CURRENT_USER\SOFTWARE\Tarnek\Velmora.
std::unique_ptr<SettingsStore> OpenUserSettingsStore();

}  // namespace velmora::win
