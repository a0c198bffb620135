#include "windows/code_page_chars.h"

namespace velmora::win {

CharSizes CodePageCharSizes(UINT codePage) {
  return codePage == CP_ACP ? CharSizes::InForce() : CharSizes::OfCodePage(codePage);
}

std::wstring AnsiToWide(std::string_view text) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(
                        size > 0 ? ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0) : 0),
                    L'\0');
  if (!wide.empty())
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

}  // namespace velmora::win
