// The typed primitives of the settings store, built on its raw text reads and writes.
#include "monitor/settings_store.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "core/text.h"

namespace velmora {

int SettingsStore::ReadInteger(const std::string& section, const std::string& key, int defaultValue) {
  std::string text;
  if (!ReadRaw(section, key, text))
    return defaultValue;
  int value = 0;
  return TryStrToInt(text, value) ? value : defaultValue;
}

bool SettingsStore::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::string SettingsStore::ReadText(const std::string& section,
                                    const std::string& key,
                                    const std::string& defaultValue) {
  std::string text;
  return ReadRaw(section, key, text) ? text : defaultValue;
}

void SettingsStore::ReadTexts(const std::string& section,
                              const std::vector<std::string>& keys,
                              const std::string& defaultValue,
                              std::vector<std::string>& values) {
  for (const std::string& key : keys)
    values.push_back(ReadText(section, key, defaultValue));
}

void SettingsStore::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteRaw(section, key, std::to_string(value));
}

void SettingsStore::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteRaw(section, key, value ? "1" : "0");
}

void SettingsStore::WriteText(const std::string& section, const std::string& key, const std::string& value) {
  WriteRaw(section, key, value);
}

}  // namespace velmora
