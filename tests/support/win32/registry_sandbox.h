// A key under HKEY_CURRENT_USER that one test owns: deleted before and after it, with values put
// and read back through the registry functions themselves, so that the code under test is never
// trusted to check its own writes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

namespace velmora::testing {

class RegistrySandbox {
 public:
  // A key of its own below SOFTWARE\Tarnek, named for the process and a random number.
  RegistrySandbox();
  // `path` itself, such as the program's own key.
  explicit RegistrySandbox(std::string path) : path_(std::move(path)) { Delete(); }
  ~RegistrySandbox() { Delete(); }
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

  const std::string& Path() const { return path_; }
  // Removes the key with everything below it, as another program might while the test runs.
  void Delete() const { ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
  // Whether the key (or `below` it) exists.
  bool Exists(const std::string& below = std::string()) const;

  // Writes a value of any type straight into `section`, creating it; fails the test otherwise.
  void Put(const std::string& section,
           const std::string& key,
           DWORD type,
           const void* data,
           DWORD size) const;
  void PutText(const std::string& section, const std::string& key, const std::string& text) const {
    Put(section, key, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  void PutDword(const std::string& section, const std::string& key, DWORD number) const {
    Put(section, key, REG_DWORD, &number, sizeof(number));
  }

  // The stored type and bytes of a value, as RegQueryValueExA gives them; false when absent.
  bool Query(const std::string& section, const std::string& key, DWORD& type, std::string& data) const;
  // The text of a REG_SZ value without its terminating NUL; nothing when absent or of another
  // type.
  std::optional<std::string> Text(const std::string& section, const std::string& key) const;

 private:
  std::string path_;
};

}  // namespace velmora::testing
