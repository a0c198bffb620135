// The client folders the benchmarks read: files of the size and shape a client of the time
// writes, the same in every benchmark, so that their figures compare.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/client_folder_writer.h"

namespace velmora::bench {

// A state file of about 150 keys; with `longLine`, one of them 1 KiB long.
inline std::string StateText(const std::string& ncfft,
                             const std::string& prog,
                             const std::string& cpu,
                             bool longLine) {
  std::string text = "active_wu=1\nncfft=" + ncfft + "\ncr=1.2345e-01\n";
  for (int i = 0; i < 140; ++i)
    text += "key" + std::to_string(i) + "=" + std::to_string(i * 0.37) + "\n";
  if (longLine)
    text += "bp_pot=" + std::string(1024, 'a') + "\n";
  return text + "prog=" + prog + "\ncpu=" + cpu + "\n";
}

// "prog=" of `progress` in 1/100 of a percent, and the "%" cell that shows it.
inline std::string ProgValue(int progress) {
  char text[16];
  std::snprintf(text, sizeof text, "0.%04d", progress);
  return text;
}
inline std::string ProgressText(int progress) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", progress / 100, progress % 100);
  return text;
}

// A client's files besides its state file: crunching a unit (with the outfile a client writes
// beside it, when asked), or waiting to send its result.
inline testing::ClientFiles OtherClientFiles(bool waiting, bool outfile = true) {
  testing::ClientFiles files{.userInfo = "name=bench\nnresults=12\ntotal_cpu=36000\n",
                             .version = "major_version=3\nminor_version=8\n"};
  if (waiting)
    files.result = "result data\n";
  else
    files.workUnit = std::string(2048, 'w');
  if (!waiting && outfile)
    files.outfile = "o\n";
  return files;
}

// What a client's folder shows: a unit in work, a result waiting to be sent, no folder at all (a
// share that is down), or a row switched off.
enum class Kind { kInWork, kWaiting, kMissing, kDisabled };

// Folder `index` of a farm in which, of every 20, the first `missing` are gone, the next
// `disabled` switched off and the next `waiting` wait to send; the rest crunch.
inline Kind KindAmong(int index, int missing, int disabled, int waiting) {
  const int place = index % 20;
  if (place < missing)
    return Kind::kMissing;
  if (place < missing + disabled)
    return Kind::kDisabled;
  return place < missing + disabled + waiting ? Kind::kWaiting : Kind::kInWork;
}

// The order the window sorts its captions in.
inline int CaptionOrder(const char* a, const char* b) {
#ifdef _WIN32
  return ::lstrcmpA(a, b);
#else
  return std::strcmp(a, b);
#endif
}

inline std::string ClientName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "loc%04d", index);
  return name;
}

}  // namespace velmora::bench
