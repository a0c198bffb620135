#include "monitor/win32/history_place.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace velmora {

namespace {

bool MakeFoldersAbove(const std::string& fileName) {
  const std::size_t end = fileName.find_last_of('\\');
  if (end == std::string::npos)
    return true;
  // Each folder of the path in turn: the ones there already answer ERROR_ALREADY_EXISTS.
  for (std::size_t at = fileName.find('\\', fileName.find_first_not_of('\\'));
       at != std::string::npos && at <= end; at = fileName.find('\\', at + 1)) {
    const std::string folder = fileName.substr(0, at);
    if (folder.empty() || folder.back() == ':')
      continue;
    if (!::CreateDirectoryA(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  const DWORD attributes = ::GetFileAttributesA(fileName.substr(0, end).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::string AnsiToUtf8(const std::string& text) {
  if (text.empty() || ::GetACP() == CP_UTF8)
    return text;
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::vector<wchar_t> chars(static_cast<std::size_t>(wide));
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), chars.data(), wide);
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, chars.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, chars.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

std::string DefaultHistoryFile() {
  char folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                folder)))
    return {};
  return std::string(folder) + "\\Tarnek\\Velmora\\history.db";
}

HistoryPlace HistoryPlaceOf(const std::string& fileName) {
  // SQLite takes file names in UTF-8 on Windows.
  return {fileName, AnsiToUtf8, MakeFoldersAbove, 3000};
}

}  // namespace velmora
