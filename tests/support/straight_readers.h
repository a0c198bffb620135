// The readers transcribed probe by probe, the plain way: four existence tests, a time-stamp
// query, a folder test, and LoadLines (an existence test, then open and read). The program's
// readers must produce identical records with fewer file-system calls; tests and the benchmark
// compare the two.
#pragma once

#include <string>

#include "core/client_readers.h"

namespace velmora::testing {

bool StraightLoadState(FileSystem& fs, const std::string& folder, TState& state);
bool StraightLoadUserInfo(FileSystem& fs, const std::string& folder, TUserInfo& user);

bool SameRecord(const TState& a, const TState& b);
bool SameRecord(const TUserInfo& a, const TUserInfo& b);
std::string Describe(const TState& state);

}  // namespace velmora::testing
