// Settings read ahead on a thread: loading from the answers read ahead makes the same value and
// stops at the same failure as loading straight from the store, without asking the store again.
#include "monitor/settings_prefetch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "monitor/settings.h"
#include "tests/support/memory_settings_store.h"

namespace velmora {
namespace {

// The value loaded and the message of the failure that stopped the load ("" for none).
std::pair<StoredSettings, std::string> Load(SettingsStore& store) {
  std::pair<StoredSettings, std::string> loaded;
  loaded.first.pollInterval = 99;
  loaded.second = testing::SettingsErrorOf([&] { LoadSettings(store, 96, "C:\\app\\", loaded.first); });
  return loaded;
}

void SeedLocations(testing::MemorySettingsStore& store, int count) {
  store.SetText("Locations", "Count", std::to_string(count));
  for (int i = 0; i < count; ++i)
    store.SetText("Locations", LocationKey(static_cast<std::size_t>(i)),
                  "C:\\seti\\" + std::to_string(i) + ",1");
}

TEST(SettingsPrefetch, LoadsWhatTheStoreHoldsFromTheAnswersReadAhead) {
  const std::pair<const char*, std::function<void(testing::MemorySettingsStore&)>> rows[] = {
      {"empty", [](auto&) {}},
      {"thousands of locations", [](auto& store) { SeedLocations(store, 2500); }},
      {"an entry that is not text", [](auto& store) { store.SetNonText("Layout", "FormHeight"); }},
      {"a location that is not text", [](auto& store) {
         SeedLocations(store, 1500);
         store.SetNonText("Locations", LocationKey(1200));
       }}};
  for (const auto& [name, seed] : rows) {
    SCOPED_TRACE(name);
    testing::MemorySettingsStore direct;
    testing::MemorySettingsStore source;
    seed(direct);
    seed(source);
    SettingsPrefetch prefetch(source, 96, "C:\\app\\");
    SettingsStore& ready = prefetch.Ready();
    const int readAhead = source.ReadCount();
    EXPECT_EQ(Load(ready), Load(direct));
    EXPECT_EQ(source.ReadCount(), readAhead) << "the load asked the store again";
    // What was not read ahead comes from the store itself.
    source.SetText("Other", "Entry", "here");
    EXPECT_EQ(ready.ReadText("Other", "Entry", ""), "here");
  }
}

}  // namespace
}  // namespace velmora
