// Each primitive opens the section's subkey, does its work and closes it again, so nothing but
// the store's own key stays open between reads and writes.
#include "monitor/win32/registry_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "windows/code_page_chars.h"

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

std::wstring QueryWideText(HKEY section, const std::string& key) {
  std::wstring name(key.begin(), key.end());  // the program's keys are ASCII
  DWORD size = 0;
  if (::RegGetValueW(section, nullptr, name.c_str(), RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr, nullptr, &size) !=
      ERROR_SUCCESS)
    return std::wstring();
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (::RegGetValueW(section, nullptr, name.c_str(), RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr, text.data(),
                     &size) != ERROR_SUCCESS)
    return std::wstring();
  text.resize(::wcsnlen(text.c_str(), text.size()));
  return text;
}

}  // namespace

void RegistryStore::KeepOriginal(HKEY section, const std::string& key, const std::string& value) {
  // A file name holds no "?", so a path without one lost nothing.
  if (value.find('?') == std::string::npos || ::GetACP() == CP_UTF8)
    return;
  const std::wstring original = QueryWideText(section, key);
  BOOL lost = FALSE;
  if (!original.empty() &&
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, original.c_str(), -1, nullptr, 0, nullptr, &lost) >
          0 &&
      lost) {
    originals_[value] = original;
  }
}

std::optional<std::wstring> RegistryStore::OriginalOf(const std::string& value) const {
  if (originals_.empty() || value.find('?') == std::string::npos)
    return std::nullopt;
  for (const auto& [read, original] : originals_) {
    const std::size_t lostEnd = read.rfind('?') + 1;
    if (value.compare(0, lostEnd, read, 0, lostEnd) != 0)
      continue;
    // As many of the original's characters as took the bytes up to the last lost one.
    std::size_t chars = 0;
    for (std::size_t bytes = 0; bytes < lostEnd && chars < original.size(); ++chars)
      bytes += static_cast<std::size_t>(
          ::WideCharToMultiByte(CP_ACP, 0, &original[chars], 1, nullptr, 0, nullptr, nullptr));
    return original.substr(0, chars) + AnsiToWide(std::string_view(value).substr(lostEnd));
  }
  return std::nullopt;
}

RegistryStore::RegistryStore(HKEY root, const char* path) : key_(CreateSection(root, path)) {}

bool RegistryStore::ReadRaw(const std::string& section, const std::string& key, std::string& value) {
  if (!key_)
    return false;
  const KeyHandle sectionKey = OpenSection(key_.Get(), section);
  if (!sectionKey)
    return false;
  std::vector<char> buffer;
  if (!QueryText(sectionKey.Get(), key, buffer, value))
    return false;
  KeepOriginal(sectionKey.Get(), key, value);
  return true;
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
      KeepOriginal(sectionKey.Get(), key, value);
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
  LONG status = ERROR_INVALID_DATA;
  if (const std::optional<std::wstring> original = OriginalOf(value)) {
    const std::wstring name(key.begin(), key.end());
    status = ::RegSetValueExW(sectionKey.Get(), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(original->c_str()),
                              static_cast<DWORD>((original->size() + 1) * sizeof(wchar_t)));
  } else if (value.size() < std::numeric_limits<DWORD>::max()) {
    status =
        ::RegSetValueExA(sectionKey.Get(), key.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  }
  if (status != ERROR_SUCCESS)
    throw SettingsError("Failed to set data for '" + key + "'");
}

std::unique_ptr<SettingsStore> OpenUserSettingsStore() {
  return std::make_unique<RegistryStore>(HKEY_CURRENT_USER, kUserSettingsKeyPath);
}

}  // namespace velmora::win
