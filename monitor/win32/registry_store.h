// The settings store over the registry: one key, held open for the whole run, whose subkeys are
// the sections and whose string values are the entries.
#pragma once

#include <windows.h>

#include <memory>
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
  void WriteRaw(const std::string& section, const std::string& key, const std::string& value) override;

 private:
  KeyHandle key_;
};

// The program's own store: HKEY_CURRENT_USER\SOFTWARE\Tarnek\Velmora.
std::unique_ptr<SettingsStore> OpenUserSettingsStore();

}  // namespace velmora::win
