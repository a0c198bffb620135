// An ini-style store of sections and keys (the per-user registry in the program, memory in
// tests). Every value is text: integers in decimal, Booleans as "1" and "0".
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

// A failure of the store, carrying the text the user is shown ("Invalid data type for 'x'",
// "Failed to create key x", "Failed to set data for 'x'").
class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The text of an entry; false when the section or the entry is absent.
  // Throws SettingsError when the entry exists but is not text.
  virtual bool ReadRaw(const std::string& section, const std::string& key, std::string& value) = 0;
  // Creates the section when missing and sets the entry as text. Throws SettingsError.
  virtual void WriteRaw(const std::string& section, const std::string& key, const std::string& value) = 0;

  // Primitives built on the two above.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue);
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue);
  std::string ReadText(const std::string& section, const std::string& key, const std::string& defaultValue);
  // ReadText for each of `keys` of one section, in order, each text appended to `values`. Throws
  // as ReadText does; the texts read before the failing key stay appended. A store may read them
  // more cheaply than one by one.
  virtual void ReadTexts(const std::string& section,
                         const std::vector<std::string>& keys,
                         const std::string& defaultValue,
                         std::vector<std::string>& values);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void WriteText(const std::string& section, const std::string& key, const std::string& value);
};

}  // namespace velmora
