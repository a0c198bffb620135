#include "tests/support/memory_settings_store.h"

namespace velmora::testing {

void MemorySettingsStore::SetText(const std::string& section,
                                  const std::string& key,
                                  const std::string& value) {
  sections_[section][key] = Entry{true, value};
}

void MemorySettingsStore::SetNonText(const std::string& section, const std::string& key) {
  sections_[section][key] = Entry{false, std::string()};
}

void MemorySettingsStore::FailWrite(const std::string& section,
                                    const std::string& key,
                                    WriteFailure failure) {
  failures_[EntryName(section, key)] = failure;
}

const MemorySettingsStore::Entry* MemorySettingsStore::Find(const std::string& section,
                                                            const std::string& key) const {
  const auto keys = sections_.find(section);
  if (keys == sections_.end())
    return nullptr;
  const auto entry = keys->second.find(key);
  return entry == keys->second.end() ? nullptr : &entry->second;
}

std::optional<std::string> MemorySettingsStore::Text(const std::string& section,
                                                     const std::string& key) const {
  const Entry* entry = Find(section, key);
  if (entry == nullptr || !entry->isText)
    return std::nullopt;
  return entry->text;
}

bool MemorySettingsStore::Has(const std::string& section, const std::string& key) const {
  return Find(section, key) != nullptr;
}

std::size_t MemorySettingsStore::EntryCount(const std::string& section) const {
  const auto keys = sections_.find(section);
  return keys == sections_.end() ? 0 : keys->second.size();
}

bool MemorySettingsStore::ReadRaw(const std::string& section, const std::string& key, std::string& value) {
  ++reads_;
  const Entry* entry = Find(section, key);
  if (entry == nullptr)
    return false;
  if (!entry->isText)
    throw SettingsError("Invalid data type for '" + key + "'");
  value = entry->text;
  return true;
}

void MemorySettingsStore::WriteRaw(const std::string& section,
                                   const std::string& key,
                                   const std::string& value) {
  const auto failure = failures_.find(EntryName(section, key));
  if (failure != failures_.end()) {
    if (failure->second == WriteFailure::kCreateKey)
      throw SettingsError("Failed to create key " + section);
    throw SettingsError("Failed to set data for '" + key + "'");
  }
  sections_[section][key] = Entry{true, value};
  writes_.push_back(Write{section, key, value});
}

std::string SettingsErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const SettingsError& error) {
    return error.what();
  }
  return "";
}

}  // namespace velmora::testing
