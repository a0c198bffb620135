// velmora-client-sim: plays one or more simulated SETI client working folders through their
// units' lives, so that Velmora has something live to show. Stops by itself.
//
//   velmora-client-sim [--speed F] [--seconds N] [--unit-cpu S] [--stall-after N [--stall-for N]]
//                      FOLDER...
//
// --speed: simulated CPU seconds per real second (default 20); --seconds: how long to run
// (default 600); --unit-cpu: CPU seconds one unit takes (default 900). Each folder starts at
// another point of a unit's life, so a table of them shows every state at once.
// --stall-after: after that many seconds the first folder's client hangs on its unit (state.sah
// is no longer written), so that Velmora can show a stalled location; --stall-for: it goes on
// after that many seconds more (default: it stays hung until the end).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/decimal_rule.h"
#include "tools/client_sim/simulated_client.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: velmora-client-sim [--speed F] [--seconds N] [--unit-cpu S] [--stall-after N "
               "[--stall-for N]] FOLDER...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  velmora::ApplyDecimalRule();
  double speed = 20;
  double seconds = 600;
  double unitCpu = 900;
  double stallAfter = -1;  // never
  double stallFor = -1;    // until the end
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--speed") == 0 && hasValue) {
      speed = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--seconds") == 0 && hasValue) {
      seconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--unit-cpu") == 0 && hasValue) {
      unitCpu = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--stall-after") == 0 && hasValue) {
      stallAfter = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--stall-for") == 0 && hasValue) {
      stallFor = std::atof(argv[++i]);
    } else if (argv[i][0] == '-') {
      return Usage();
    } else {
      folders.emplace_back(argv[i]);
    }
  }
  if (folders.empty() || speed <= 0 || seconds <= 0 || unitCpu <= 0 || (stallFor >= 0 && stallAfter < 0))
    return Usage();

  std::vector<std::unique_ptr<velmora::sim::SimulatedClient>> clients;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    auto client =
        std::make_unique<velmora::sim::SimulatedClient>(folders[i], static_cast<int>(i) + 1, unitCpu);
    // Spread the folders over a unit's life: in work at several points, writing, waiting.
    switch (i % 4) {
      case 0:
        client->Begin(0.15);
        break;
      case 1:
        client->Begin(0.62);
        break;
      case 2:
        client->Begin(0.97);
        break;
      default:
        client->Begin(1.0);
        client->StartWritingResult();
        client->ResultWritten();
        break;
    }
    clients.push_back(std::move(client));
  }
  std::printf("simulating %zu client folder(s) for %.0f s at %.0fx\n", clients.size(), seconds, speed);
  std::fflush(stdout);

  constexpr DWORD kTickMilliseconds = 2000;
  const ULONGLONG start = GetTickCount64();
  const ULONGLONG end = start + static_cast<ULONGLONG>(seconds * 1000);
  velmora::sim::SimulatedClient& first = *clients.front();
  bool stallOver = false;
  while (GetTickCount64() < end) {
    Sleep(kTickMilliseconds);
    const double elapsed = static_cast<double>(GetTickCount64() - start) / 1000;
    if (stallAfter >= 0 && !stallOver && !first.Hung() && elapsed >= stallAfter) {
      first.Hang();
      std::printf("%s hangs\n", first.Folder().c_str());
      std::fflush(stdout);
    }
    if (first.Hung() && stallFor >= 0 && elapsed >= stallAfter + stallFor) {
      first.Resume();
      stallOver = true;
      std::printf("%s goes on\n", first.Folder().c_str());
      std::fflush(stdout);
    }
    for (auto& client : clients)
      client->Advance(speed * kTickMilliseconds / 1000.0, 150);
  }
  std::printf("simulation ended\n");
  return 0;
}
