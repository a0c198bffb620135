#include "monitor/settings_prefetch.h"

#include <system_error>

#include "monitor/settings.h"

namespace velmora {

SettingsPrefetch::SettingsPrefetch(SettingsStore& source, int dpi, std::string appDir) : store_(source) {
  try {
    reader_ = std::thread([this, dpi, appDir = std::move(appDir)] {
      try {
        StoredSettings scratch;
        LoadSettings(store_, dpi, appDir, scratch);
      } catch (...) {
        // A failure of the store is kept as its answer; anything else only ends the reading
        // ahead, and the window's load meets it again where it reads the store itself.
      }
    });
  } catch (const std::system_error&) {
    store_.StopRecording();
  }
}

SettingsPrefetch::~SettingsPrefetch() {
  if (reader_.joinable())
    reader_.join();
}

SettingsStore& SettingsPrefetch::Ready() {
  if (reader_.joinable())
    reader_.join();
  store_.StopRecording();
  return store_;
}

bool SettingsPrefetch::Store::ReadRaw(const std::string& section,
                                      const std::string& key,
                                      std::string& value) {
  const EntryName name{section, key};
  if (!recording_) {
    const auto kept = entries_.find(name);
    if (kept == entries_.end())
      return source_.ReadRaw(section, key, value);
    if (kept->second.failed)
      throw SettingsError(kept->second.failure);
    if (kept->second.found)
      value = kept->second.text;
    return kept->second.found;
  }
  Answer answer;
  try {
    answer.found = source_.ReadRaw(section, key, answer.text);
  } catch (const SettingsError& failure) {
    answer.failed = true;
    answer.failure = failure.what();
    entries_.emplace(name, std::move(answer));
    throw;
  }
  const bool found = answer.found;
  if (found)
    value = answer.text;
  entries_.emplace(name, std::move(answer));
  return found;
}

void SettingsPrefetch::Store::ReadTexts(const std::string& section,
                                        const std::vector<std::string>& keys,
                                        const std::string& defaultValue,
                                        std::vector<std::string>& values) {
  BatchName name{{section, keys}, defaultValue};
  if (!recording_) {
    const auto kept = batches_.find(name);
    if (kept == batches_.end()) {
      source_.ReadTexts(section, keys, defaultValue, values);
      return;
    }
    values.insert(values.end(), kept->second.values.begin(), kept->second.values.end());
    if (kept->second.failed)
      throw SettingsError(kept->second.failure);
    return;
  }
  const std::size_t before = values.size();
  BatchAnswer answer;
  try {
    source_.ReadTexts(section, keys, defaultValue, values);
  } catch (const SettingsError& failure) {
    answer.failed = true;
    answer.failure = failure.what();
    answer.values.assign(values.begin() + static_cast<std::ptrdiff_t>(before), values.end());
    batches_.emplace(std::move(name), std::move(answer));
    throw;
  }
  answer.values.assign(values.begin() + static_cast<std::ptrdiff_t>(before), values.end());
  batches_.emplace(std::move(name), std::move(answer));
}

void SettingsPrefetch::Store::WriteRaw(const std::string& section,
                                       const std::string& key,
                                       const std::string& value) {
  source_.WriteRaw(section, key, value);
}

}  // namespace velmora
