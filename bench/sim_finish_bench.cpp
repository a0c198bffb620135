// How honest the "Finishes" column is, on the client simulator: a unit played on a clock of the
// bench's own (a pass every 15 s), its folder read through the platform's file system at every
// pass and shown by a LocationTable as the window shows it. Two machines:
//
// (a) Noisy speed: the speed varies at random by up to +-30 % from minute to minute around a
//     steady mean. From a quarter of the unit watched on: the median error of the finish time
//     against the time still to go (target <= 10 %), and the largest move of the shown
//     "Finishes" text between two passes (target <= 2 minutes).
// (b) A slower machine: the speed halves for good halfway through the unit. Once a further fifth
//     is done (70 %): the error against the new truth (target <= 10 %).
//
// Prints figures; exits 1 only when the table showed no estimate where one was due.
// Usage: sim_finish_bench [hours per unit at full speed = 4] [seed = 7]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_checks.h"
#include "core/file_system.h"
#include "monitor/finish_estimate.h"
#include "monitor/location_table.h"
#include "tests/support/inline_pass.h"
#include "tests/support/temp_folder.h"
#include "tools/client_sim/simulated_client.h"

namespace {

using velmora::bench::Median;
constexpr double kPassSeconds = 15;
constexpr velmora::LocalDateTime kStartWall{2026, 12, 9, 8, 0, 0};

struct Run {
  std::vector<double> errors;  // |estimated - true| / time still to go, one per pass
  double largestMoveMinutes = 0;
  double errorAtCheck = -1;  // (b): at the first pass at or past 70 %
  double worstAfterCheck = 0;
  int passesWithoutEstimate = 0;
};

// Minutes since kStartWall's midnight of a shown "hh:nn" or "mm.dd hh:nn".
double ShownMinutes(const std::string& text) {
  int month = kStartWall.month, day = kStartWall.day, hour = 0, minute = 0;
  if (text.size() > 5)
    std::sscanf(text.c_str(), "%d.%d %d:%d", &month, &day, &hour, &minute);
  else
    std::sscanf(text.c_str(), "%d:%d", &hour, &minute);
  const int days = (month - kStartWall.month) * 31 + (day - kStartWall.day);
  return days * 1440.0 + hour * 60.0 + minute;
}

// Plays a unit whose speed (CPU seconds per second) at second `t` is speed(t), from 0 to the end.
Run Play(const std::function<double(double)>& speed, double unitSeconds, double judgeFrom, double checkAt) {
  velmora::testing::TempFolder folder;
  velmora::sim::SimulatedClient client(folder.ProgramPath("client"), 1, unitSeconds);
  client.Begin(0);
  // The truth: when the unit reaches 100 % at this speed.
  double trueEnd = 0;
  for (double cpu = 0; cpu < unitSeconds; trueEnd += 1)
    cpu += speed(trueEnd);

  const auto fs = velmora::MakePlatformFileSystem();
  velmora::LocationTable table([](const char* a, const char* b) { return ::lstrcmpA(a, b); });
  table.AddLocation(client.Folder(), true);
  // The simulator writes state.sah at the machine's time, which hardly moves on the bench's
  // clock: a stall time longer than the unit keeps the stall watch out of the way.
  table.SetStallTime(std::chrono::hours(24 * 7));
  Run run;
  double lastShown = -1;
  for (double now = 0; client.Progress() < 0.99; now += kPassSeconds) {
    if (now > 0) {
      double cpu = 0;
      for (double t = now - kPassSeconds; t < now; t += 1)
        cpu += speed(t);
      client.Advance(cpu, 0);
    }
    const velmora::PassClock clock{velmora::SteadyTime{} + std::chrono::seconds(static_cast<long long>(now)),
                                   velmora::AddSeconds(kStartWall, static_cast<long long>(now))};
    velmora::testing::RefreshNow(table, *fs, clock);
    if (client.Progress() < judgeFrom)
      continue;
    const velmora::LocationRow& row = table.Row(0);
    const auto left = row.finish.RemainingAfterLatest();
    const std::string shown = table.FinishText(0);
    if (!left || shown.empty()) {
      ++run.passesWithoutEstimate;
      continue;
    }
    const double estimatedEnd =
        std::chrono::duration<double>(row.finish.LatestTime() - velmora::SteadyTime{}).count() +
        static_cast<double>(left->count());
    const double error = std::abs(estimatedEnd - trueEnd) / std::max(1.0, trueEnd - now);
    run.errors.push_back(error);
    const double shownMinutes = ShownMinutes(shown);
    if (lastShown >= 0)
      run.largestMoveMinutes = std::max(run.largestMoveMinutes, std::abs(shownMinutes - lastShown));
    lastShown = shownMinutes;
    if (checkAt > 0 && client.Progress() >= checkAt) {
      if (run.errorAtCheck < 0)
        run.errorAtCheck = error;
      run.worstAfterCheck = std::max(run.worstAfterCheck, error);
    }
  }
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const double hours = argc > 1 ? std::atof(argv[1]) : 4;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 7u;
  const double unitSeconds = hours * 3600;
  std::printf(
      "Velmora: how honest \"Finishes\" is; a unit of %.1f h at full speed, a pass every %.0f s, seed %u\n",
      hours, kPassSeconds, seed);

  // (a) One random factor per minute, within +-30 %.
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> factor(0.7, 1.3);
  std::vector<double> perMinute(static_cast<std::size_t>(hours * 60 * 3) + 10);
  for (double& f : perMinute)
    f = factor(random);
  const Run noisy =
      Play([&](double t) { return perMinute.at(static_cast<std::size_t>(t / 60)); }, unitSeconds, 0.25, 0);
  // (b) Full speed to half the unit, then half speed for good.
  const double half = unitSeconds / 2;
  const Run slower = Play([&](double t) { return t < half ? 1.0 : 0.5; }, unitSeconds, 0.0, 0.7);

  std::printf("\n  %-62s | %-10s | %s\n", "figure", "measured", "target");
  std::printf("  %s\n", std::string(92, '-').c_str());
  std::printf("  %-62s | %-10zu | \n", "(a) passes judged (from 25 % on)", noisy.errors.size());
  std::printf("  %-62s | %-9.1f%% | <= 10 %%\n", "(a) median error of the finish, of the time still to go",
              100 * Median(noisy.errors));
  std::printf("  %-62s | %-9.1f%% | \n", "(a) largest error",
              100 * *std::max_element(noisy.errors.begin(), noisy.errors.end()));
  std::printf("  %-62s | %-7.0f min | <= 2 min\n", "(a) largest move of the shown time between two passes",
              noisy.largestMoveMinutes);
  std::printf("  %-62s | %-9.1f%% | <= 10 %%\n", "(b) error at 70 % (a fifth after the slow-down)",
              100 * slower.errorAtCheck);
  std::printf("  %-62s | %-9.1f%% | \n", "(b) worst error from 70 % on", 100 * slower.worstAfterCheck);
  const bool shown = noisy.passesWithoutEstimate == 0 && !noisy.errors.empty() && slower.errorAtCheck >= 0;
  std::printf("\nchecks: %s\n", shown ? "all passed" : "FAILED (no estimate where one was due)");
  return shown ? 0 : 1;
}
