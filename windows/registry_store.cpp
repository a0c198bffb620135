// Each primitive opens the section's subkey, does its work and closes it again, so nothing but
// the store's own key stays open between reads and writes.
#include "windows/registry_store.h"

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

}  // namespace

RegistryStore::RegistryStore(HKEY root, const char* path) : key_(CreateSection(root, path)) {}

bool RegistryStore::ReadRaw(const std::string& section, const std::string& key, std::string& value) {
  if (!key_)
    return false;
  const KeyHandle sectionKey = OpenSection(key_.Get(), section);
  if (!sectionKey)
    return false;

  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(sectionKey.Get(), key.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw SettingsError("Invalid data type for '" + key + "'");

  // The value may change between asking its size and reading it; ask again until it fits. A
  // spare byte leaves room for the NUL that a value stored without one lacks.
  std::vector<char> buffer;
  LONG status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA) {
    buffer.assign(static_cast<std::size_t>(size) + 1, '\0');
    size = static_cast<DWORD>(buffer.size());
    status = ::RegQueryValueExA(sectionKey.Get(), key.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &size);
  }
  if (status != ERROR_SUCCESS)
    return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw SettingsError("Invalid data type for '" + key + "'");

  // The text ends at its first NUL, or after the bytes returned when it was stored without one.
  const std::size_t stored = std::min<std::size_t>(size, buffer.size());
  value.assign(buffer.data(), ::strnlen(buffer.data(), stored));
  return true;
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
