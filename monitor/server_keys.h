// How the reading threads tell which folders stand or fall together. Folders are compared in one
// spelling: "/" read as "\", ASCII letters folded to lower case, no trailing "\", and the long
// forms "\\?\UNC\server\share" and "\\?\C:\" read as "\\server\share" and "C:\". Every cut is
// made between characters of the code page in force, never inside one: under a double-byte code
// page the second byte of a character may be a "\" (0x5C) or an ASCII letter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/char_sizes.h"

namespace velmora {

// One folder in the spelling in which two spellings of it compare equal.
std::string FolderKey(std::string_view folder, const CharSizes& chars = CharSizes::InForce());

// What a folder's reads stand or fall with: "\\server" for a UNC path, whatever its share (the
// shares of one server die together); for a drive path, the folder that holds it (a farm's folders
// sit side by side on one mount), or the folder itself at the root of a drive. Which part of a
// drive is a network mount cannot be told from its path: AncestorsOf tells what else it shares.
std::string ServerOf(std::string_view folder, const CharSizes& chars = CharSizes::InForce());

// The folders that hold `key` (a FolderKey), outermost first, and `key` itself: "\\" and
// "\\server" for a UNC path, the drive ("c:") for a drive path.
std::vector<std::string> AncestorsOf(const std::string& key, const CharSizes& chars = CharSizes::InForce());

}  // namespace velmora
