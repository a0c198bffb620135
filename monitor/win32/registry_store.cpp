// Each primitive opens the section's subkey, does its work and closes it again, so nothing but
// the store's own key stays open between reads and writes.
#include "monitor/win32/registry_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace velmora::win {
namespace {

// Sections are opened with full access for reading as well, as they are for writing.
KeyHandle OpenSection(HKEY parent, const std::string& section) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(parent, section.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return KeyHandle();
  return KeyHandle(key);
}

KeyHandle CreateSection(HKEY parent, const std::string& section) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(parent, section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
    return KeyHandle();
  }
  return KeyHandle(key);
}

// The text of `key` in `section`, read through `buffer`, which grows as needed and serves the
// next read too. False when the value is absent; throws when it is not text.
bool QueryText(HKEY section, const std::string& key, std::vector<char>& buffer, std::string& value) {
  if (buffer.empty())
    buffer.assign(256, '\0');
  for (;;) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG status = ::RegQueryValueExA(section, key.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
      return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
      throw SettingsError("Invalid data type for '" + key + "'");
    if (status == ERROR_SUCCESS) {
      // The text ends at its first NUL, or after the bytes returned when it was stored without one.
      const std::size_t stored = std::min<std::size_t>(size, buffer.size());
      value.assign(buffer.data(), ::strnlen(buffer.data(), stored));
      return true;
    }
    // Too long for the buffer, and it may change between two reads: ask again until it fits. A
    // spare byte leaves room for the NUL that a value stored without one lacks. The size given
    // is the stored UTF-16 text's where the system does not count the ANSI bytes, which under
    // UTF-8 may be half as many again: the buffer at least doubles, so the loop always ends.
    buffer.assign(std::max(static_cast<std::size_t>(size) + 1, 2 * buffer.size()), '\0');
  }
}

}  // namespace

RegistryStore::RegistryStore(HKEY root, const char* path) : key_(CreateSection(root, path)) {}

bool RegistryStore::ReadRaw(const std::string& section, const std::string& key, std::string& value) {
  if (!key_)
    return false;
  const KeyHandle sectionKey = OpenSection(key_.Get(), section);
  if (!sectionKey)
    return false;
  std::vector<char> buffer;
  return QueryText(sectionKey.Get(), key, buffer, value);
}

// The section is opened once for all the keys: thousands of stored locations cost one registry
// call each, not four.
void RegistryStore::ReadTexts(const std::string& section,
                              const std::vector<std::string>& keys,
                              const std::string& defaultValue,
                              std::vector<std::string>& values) {
  const KeyHandle sectionKey = key_ ? OpenSection(key_.Get(), section) : KeyHandle();
  std::vector<char> buffer;
  std::string value;
  for (const std::string& key : keys) {
    if (sectionKey && QueryText(sectionKey.Get(), key, buffer, value)) {
      values.push_back(value);
    } else {
      values.push_back(defaultValue);
    }
  }
}

void RegistryStore::WriteRaw(const std::string& section, const std::string& key, const std::string& value) {
  const KeyHandle sectionKey = key_ ? CreateSection(key_.Get(), section) : KeyHandle();
  if (!sectionKey)
    throw SettingsError("Failed to create key " + section);
  if (value.size() >= std::numeric_limits<DWORD>::max() ||
      ::RegSetValueExA(sectionKey.Get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
    throw SettingsError("Failed to set data for '" + key + "'");
  }
}

std::unique_ptr<SettingsStore> OpenUserSettingsStore() {
  return std::make_unique<RegistryStore>(HKEY_CURRENT_USER, kUserSettingsKeyPath);
}

}  // namespace velmora::win
