// Settings read ahead on a thread: the window's load from the read-ahead answers makes the same
// value and stops at the same failure as a load straight from the store, without asking the store
// again for what was read ahead.
#include "monitor/settings_prefetch.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "monitor/settings.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/named_rows.h"

namespace velmora {
namespace {

using testing::MemorySettingsStore;
using testing::PrintTo;
using testing::RowName;

// Counts the reads that reach the store.
class CountingStore : public MemorySettingsStore {
 public:
  bool ReadRaw(const std::string& section, const std::string& key, std::string& value) override {
    ++reads;
    return MemorySettingsStore::ReadRaw(section, key, value);
  }
  int reads = 0;
};

struct Loaded {
  StoredSettings value;
  std::optional<std::string> failure;
};

Loaded Load(SettingsStore& store) {
  Loaded loaded;
  loaded.value.pollInterval = 99;
  try {
    LoadSettings(store, 96, "C:\\app\\", loaded.value);
  } catch (const SettingsError& failure) {
    loaded.failure = failure.what();
  }
  return loaded;
}

struct PrefetchRow {
  const char* name;
  std::function<void(MemorySettingsStore&)> seed;
};

class SettingsPrefetchTest : public ::testing::TestWithParam<PrefetchRow> {};

TEST_P(SettingsPrefetchTest, LoadsWhatTheStoreHoldsFromTheAnswersReadAhead) {
  CountingStore direct;
  CountingStore source;
  GetParam().seed(direct);
  GetParam().seed(source);
  const Loaded expected = Load(direct);

  SettingsPrefetch prefetch(source, 96, "C:\\app\\");
  SettingsStore& ready = prefetch.Ready();
  const int readAhead = source.reads;
  const Loaded loaded = Load(ready);
  EXPECT_EQ(loaded.value, expected.value);
  EXPECT_EQ(loaded.failure, expected.failure);
  EXPECT_EQ(source.reads, readAhead) << "the window's load asked the store again";

  // What was not read ahead comes from the store itself.
  source.SetText("Other", "Entry", "here");
  EXPECT_EQ(ready.ReadText("Other", "Entry", ""), "here");
}

void SeedLocations(MemorySettingsStore& store, int count) {
  store.SetText("Locations", "Count", std::to_string(count));
  for (int i = 0; i < count; ++i)
    store.SetText("Locations", LocationKey(static_cast<std::size_t>(i)),
                  "C:\\seti\\" + std::to_string(i) + ",1");
}

INSTANTIATE_TEST_SUITE_P(Stores,
                         SettingsPrefetchTest,
                         ::testing::Values(PrefetchRow{"Empty", [](MemorySettingsStore&) {}},
                                           PrefetchRow{"ThousandsOfLocations",
                                                       [](MemorySettingsStore& store) {
                                                         store.SetText("Layout", "FormWidth", "640");
                                                         store.SetText("Defaults", "PollInterval", "30");
                                                         SeedLocations(store, 2500);
                                                       }},
                                           PrefetchRow{"AnEntryThatIsNotText",
                                                       [](MemorySettingsStore& store) {
                                                         store.SetText("Layout", "FormWidth", "640");
                                                         store.SetNonText("Layout", "FormHeight");
                                                       }},
                                           PrefetchRow{"ALocationThatIsNotText",
                                                       [](MemorySettingsStore& store) {
                                                         SeedLocations(store, 1500);
                                                         store.SetNonText("Locations", LocationKey(1200));
                                                       }}),
                         RowName());

}  // namespace
}  // namespace velmora
