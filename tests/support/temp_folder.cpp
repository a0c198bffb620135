#include "tests/support/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>

namespace velmora::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<unsigned> sequence{0};
  std::random_device random;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate =
        fs::temp_directory_path() / ("velmora-test-" + std::to_string(random()) + "-" +
                                     std::to_string(stamp) + "-" + std::to_string(sequence++));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = fs::canonical(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code error;
  fs::remove_all(path_, error);
}

// The program's form of a native path: on POSIX "/" becomes "\"; on Windows unchanged.
static std::string ToProgramPath(const fs::path& path) {
  std::string text = path.string();
#ifndef _WIN32
  std::ranges::replace(text, '/', '\\');
#endif
  return text;
}

std::string TempFolder::ProgramPath() const {
  return ToProgramPath(path_);
}

std::string TempFolder::ProgramPath(std::string_view relative) const {
  std::string text = ProgramPath();
  text += '\\';
  text += relative;
  return text;
}

static fs::path NativeRelative(std::string_view relative) {
  std::string text(relative);
  std::ranges::replace(text, '\\', '/');
  return fs::path(text);
}

void TempFolder::WriteFile(std::string_view relative, std::string_view contents) const {
  const fs::path target = path_ / NativeRelative(relative);
  fs::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out)
    throw std::runtime_error("cannot write " + target.string());
}

void TempFolder::MakeFolder(std::string_view relative) const {
  fs::create_directories(path_ / NativeRelative(relative));
}

fs::path SharedFixturesDir() {
  fs::path dir = VELMORA_SHARED_DIR;
#ifdef _WIN32
  // Under Wine the build's Unix path is reached through the Z: drive.
  std::string text = dir.string();
  if (!text.empty() && text[0] == '/') {
    std::ranges::replace(text, '/', '\\');
    dir = fs::path("Z:" + text);
  }
#endif
  dir /= "fixtures";
  std::error_code error;
  return fs::is_directory(dir, error) ? dir : fs::path();
}

}  // namespace velmora::testing
