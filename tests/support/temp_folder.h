// A fresh folder for one test's fixtures, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The folder as the program names it: "\"-separated on every platform (the POSIX layer maps
  // "\" to "/"), with no trailing separator.
  std::string ProgramPath() const;
  // Program path of a sub-folder or file below the folder ("a\b" allowed).
  std::string ProgramPath(std::string_view relative) const;

  // Writes `contents` as the file `relative` (creating folders on the way).
  void WriteFile(std::string_view relative, std::string_view contents) const;
  void MakeFolder(std::string_view relative) const;

 private:
  std::filesystem::path path_;
};

// Folder holding the shared fixtures, or empty when shared/ is not beside the project.
std::filesystem::path SharedFixturesDir();

}  // namespace velmora::testing
