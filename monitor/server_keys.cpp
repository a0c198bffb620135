#include "monitor/server_keys.h"

#include <algorithm>
#include <cstddef>

namespace velmora {
namespace {

// Where the "\" characters of `key` stand (never a byte inside a character).
std::vector<std::size_t> SeparatorsOf(std::string_view key, const CharSizes& chars) {
  std::vector<std::size_t> separators;
  for (std::size_t i = 0; i < key.size();) {
    const auto byte = static_cast<unsigned char>(key[i]);
    if (byte == '\\')
      separators.push_back(i);
    i += std::max<std::size_t>(1, chars.Of(byte));
  }
  return separators;
}

bool IsUnc(std::string_view key) {
  return key.starts_with("\\\\");
}

}  // namespace

std::string FolderKey(std::string_view folder, const CharSizes& chars) {
  std::string key;
  key.reserve(folder.size());
  for (std::size_t i = 0; i < folder.size();) {
    const auto byte = static_cast<unsigned char>(folder[i]);
    const std::size_t size = std::min(std::max<std::size_t>(1, chars.Of(byte)), folder.size() - i);
    if (size > 1) {
      key.append(folder.substr(i, size));
    } else if (byte == '/') {
      key += '\\';
    } else {
      key += byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : static_cast<char>(byte);
    }
    i += size;
  }
  for (const std::string_view longForm : {"\\\\?\\unc\\", "\\\\.\\unc\\"}) {
    if (key.starts_with(longForm))
      key.replace(0, longForm.size(), "\\\\");
  }
  for (const std::string_view longForm : {"\\\\?\\", "\\\\.\\"}) {
    if (key.starts_with(longForm))
      key.erase(0, longForm.size());
  }
  std::vector<std::size_t> separators = SeparatorsOf(key, chars);
  while (key.size() > 1 && !separators.empty() && separators.back() == key.size() - 1) {
    key.pop_back();
    separators.pop_back();
  }
  return key;
}

std::string ServerOf(std::string_view folder, const CharSizes& chars) {
  const std::string key = FolderKey(folder, chars);
  const std::vector<std::size_t> separators = SeparatorsOf(key, chars);
  if (IsUnc(key))
    return separators.size() > 2 ? key.substr(0, separators[2]) : key;
  // Folders side by side at the root of a drive have nothing else in common.
  return separators.size() > 1 ? key.substr(0, separators.back()) : key;
}

std::vector<std::string> AncestorsOf(const std::string& key, const CharSizes& chars) {
  std::vector<std::string> ancestors;
  const bool unc = IsUnc(key);
  if (unc)
    ancestors.emplace_back("\\\\");
  for (const std::size_t separator : SeparatorsOf(key, chars)) {
    if (separator > (unc ? 1u : 0u))
      ancestors.push_back(key.substr(0, separator));
  }
  if (ancestors.empty() || ancestors.back() != key)
    ancestors.push_back(key);
  return ancestors;
}

}  // namespace velmora
