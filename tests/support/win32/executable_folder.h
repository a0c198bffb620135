// The folder of the running test program, where the build puts the samples it reads.
#pragma once

#include <string>

namespace velmora::testing {

// With its trailing "\".
std::string ExecutableFolder();

}  // namespace velmora::testing
