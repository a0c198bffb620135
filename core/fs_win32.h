// The Win32 file-system layer, made with a hook that runs while ReadShared holds a file open and
// before it reads: the moment at which a test opens the same file from a second handle, to see
// whom the share mode lets in.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/file_system.h"

namespace velmora {

using WhileReading = std::function<void(const std::string& path)>;

std::unique_ptr<FileSystem> MakeWin32FileSystem(WhileReading whileReading);

}  // namespace velmora
