// The character sizes of a Windows code page, for texts cut to fixed buffers.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/char_sizes.h"

namespace velmora::win {

// How many bytes a character of `codePage` (CP_ACP: the system's ANSI code page) takes: two from
// a lead byte of the double-byte code pages on, up to four under UTF-8 (65001), else one.
CharSizes CodePageCharSizes(UINT codePage = CP_ACP);

// `text` of the program's code page as UTF-16.
std::wstring AnsiToWide(std::string_view text);

}  // namespace velmora::win
