#include "windows/version_view.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace velmora::win {

namespace {

// The version-string keys of the categories icCompanyName to icComments, by ordinal.
constexpr std::array<const char*, 10> kStringKeys = {
    nullptr,           "CompanyName",      "FileDescription", "InternalName", "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName",     "Comments",     nullptr,
};

std::string ModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      return {};
    if (length < buffer.size())
      return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

VersionBlock& ProcessBlock() {
  // The one unit-wide value of the program: read once at start, then only looked up.
  static VersionBlock block;
  return block;
}

}  // namespace

VersionBlock::VersionBlock(const std::string& path) {
  DWORD ignored = 0;
  // The whole DWORD size is kept: a 16-bit copy would cut blocks of 64 KB and more.
  const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0)
    return;
  data_.resize(size);
  loaded_ = ::GetFileVersionInfoA(path.c_str(), 0, size, data_.data()) != FALSE;
}

std::string VersionBlock::Text(TInfoCategory category, bool shortVsn, std::string& lastText) const {
  const auto ordinal = static_cast<std::size_t>(category);
  if (category == TInfoCategory::icShortVsn)
    return lastText;
  if (category == TInfoCategory::icVersion) {
    lastText = VersionText(shortVsn);
  } else if (ordinal < kStringKeys.size() && kStringKeys[ordinal]) {
    lastText = StringText(kStringKeys[ordinal]);
  } else {
    lastText = kUnknownVersionText;
  }
  return lastText;
}

std::string VersionBlock::VersionText(bool shortVsn) const {
  if (!loaded_)
    return kUnknownVersionText;
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(data_.data(), "\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO)) {
    return kUnknownVersionText;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  // The file version, not the product version; each part an unsigned 16-bit number.
  const unsigned major = HIWORD(fixed->dwFileVersionMS);
  const unsigned minor = LOWORD(fixed->dwFileVersionMS);
  const unsigned release = HIWORD(fixed->dwFileVersionLS);
  const unsigned build = LOWORD(fixed->dwFileVersionLS);
  char text[32];
  if (shortVsn) {
    std::snprintf(text, sizeof text, "%u.%u", major, minor);
  } else {
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", major, minor, release, build);
  }
  return text;
}

std::string VersionBlock::TranslationDigits() const {
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &value, &length) || !value ||
      length < sizeof(DWORD)) {
    return {};
  }
  DWORD entry = 0;
  std::memcpy(&entry, value, sizeof entry);
  // Language (low word) first, then code page, as the string tables are named: 040904E4.
  char digits[9];
  std::snprintf(digits, sizeof digits, "%04X%04X", static_cast<unsigned>(LOWORD(entry)),
                static_cast<unsigned>(HIWORD(entry)));
  return digits;
}

std::string VersionBlock::StringText(const char* key) const {
  if (!loaded_)
    return kUnknownVersionText;
  // Only the first translation is tried: a table in another language is never used instead.
  const std::string subBlock = "\\StringFileInfo\\" + TranslationDigits() + "\\" + key;
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(data_.data(), subBlock.c_str(), &value, &length) || !value)
    return kUnknownVersionText;
  // The length counts the terminating zero.
  if (length <= 1)
    return {};
  return std::string(static_cast<const char*>(value), length - 1);
}

void LoadVersionBlock() {
  ProcessBlock() = VersionBlock(ModulePath());
}

const VersionBlock& ProcessVersionBlock() {
  return ProcessBlock();
}

TVersionView::~TVersionView() {
  if (::IsWindow(window_.Get()))
    ::RemoveWindowSubclass(window_.Get(), &TVersionView::LabelProc, 0);
}

bool TVersionView::Create(HWND parent, int x, int y, int w, int h, bool visible, int controlId) {
  const DWORD style = WS_CHILD | SS_LEFT | SS_NOPREFIX | (visible ? WS_VISIBLE : 0);
  window_.Reset(::CreateWindowExA(0, "STATIC", "", style, x, y, w, h, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                  ::GetModuleHandleA(nullptr), nullptr));
  if (!window_)
    return false;
  return ::SetWindowSubclass(window_.Get(), &TVersionView::LabelProc, 0, reinterpret_cast<DWORD_PTR>(this)) !=
         FALSE;
}

std::string TVersionView::DisplayText() {
  return ProcessVersionBlock().Text(InfoCategory, ShortVsn, lastText_);
}

void TVersionView::Paint() {
  HWND hwnd = window_.Get();
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd, &paint);
  RECT client;
  ::GetClientRect(hwnd, &client);
  // Coloured like any static control: the parent picks text colour and background.
  auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(
      ::GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
  auto font = reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  const std::string text = DisplayText();
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE);
  if (oldFont)
    ::SelectObject(dc, oldFont);
  ::EndPaint(hwnd, &paint);
}

LRESULT CALLBACK
TVersionView::LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* view = reinterpret_cast<TVersionView*>(self);
  switch (message) {
    case WM_PAINT:
      view->Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // Paint fills the whole label
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(view->DisplayText().size());
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0)
        return 0;
      const std::string text = view->DisplayText();
      const std::size_t copied = std::min<std::size_t>(text.size(), wParam - 1);
      auto* buffer = reinterpret_cast<char*>(lParam);
      std::memcpy(buffer, text.data(), copied);
      buffer[copied] = '\0';
      return static_cast<LRESULT>(copied);
    }
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(hwnd, &TVersionView::LabelProc, 0);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace velmora::win
