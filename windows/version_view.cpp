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

// The label's texts are ANSI, in the program's code page, as VerQueryValueA returns them.
std::wstring WideText(const std::string& text) {
  if (text.empty())
    return {};
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  if (length > 0)
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// WM_GETTEXT's answer: as much as fits in `capacity` characters with the terminating zero, and
// the number of characters copied.
template <typename Char>
LRESULT CopyText(const std::basic_string<Char>& text, WPARAM capacity, LPARAM buffer) {
  auto* target = reinterpret_cast<Char*>(buffer);
  if (capacity == 0 || !target)
    return 0;
  const std::size_t copied = std::min<std::size_t>(text.size(), capacity - 1);
  std::copy_n(text.data(), copied, target);
  target[copied] = Char{};
  return static_cast<LRESULT>(copied);
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
  LoadVersionBlockOf(ModulePath());
}

void LoadVersionBlockOf(const std::string& path) {
  ProcessBlock() = VersionBlock(path);
}

const VersionBlock& ProcessVersionBlock() {
  return ProcessBlock();
}

TVersionView::~TVersionView() {
  if (::IsWindow(window_.Get()))
    ::RemoveWindowSubclass(window_.Get(), &TVersionView::LabelProc, 0);
}

bool TVersionView::Create(HWND parent, int x, int y, bool visible, int controlId) {
  const DWORD style = WS_CHILD | SS_LEFT | SS_NOPREFIX | (visible ? WS_VISIBLE : 0);
  window_.Reset(::CreateWindowExA(0, "STATIC", "", style, x, y, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                  ::GetModuleHandleA(nullptr), nullptr));
  if (!window_)
    return false;
  if (!::SetWindowSubclass(window_.Get(), &TVersionView::LabelProc, 0, reinterpret_cast<DWORD_PTR>(this)))
    return false;
  FitToText(PeekText());
  return true;
}

std::string TVersionView::DisplayText() {
  std::string text = ProcessVersionBlock().Text(InfoCategory, ShortVsn, lastText_);
  FitToText(text);
  return text;
}

std::string TVersionView::PeekText() const {
  std::string last = lastText_;
  return ProcessVersionBlock().Text(InfoCategory, ShortVsn, last);
}

void TVersionView::FitToText(const std::string& text) {
  HWND hwnd = window_.Get();
  if (!hwnd)
    return;
  HDC dc = ::GetDC(hwnd);
  if (!dc)
    return;
  auto font = reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
  // DT_CALCRECT measures exactly what Paint draws; an empty text still has a line's height.
  RECT extent{0, 0, 0, 0};
  ::DrawTextA(dc, text.empty() ? " " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()),
              &extent, DT_CALCRECT | DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE);
  ::SelectObject(dc, oldFont);
  ::ReleaseDC(hwnd, dc);
  const int width = text.empty() ? 0 : extent.right;
  RECT current{};
  ::GetClientRect(hwnd, &current);
  if (current.right == width && current.bottom == extent.bottom)
    return;
  ::SetWindowPos(hwnd, nullptr, 0, 0, width, extent.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TVersionView::Paint() {
  HWND hwnd = window_.Get();
  // Computed (and the label sized to it) before BeginPaint, so that a label that grew paints
  // its new area in this same pass.
  const std::string text = DisplayText();
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
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE);
  if (oldFont)
    ::SelectObject(dc, oldFont);
  ::EndPaint(hwnd, &paint);
}

// A subclass procedure gets its messages in the form the subclassed window takes them:
// IsWindowUnicode says which. A static control of the visual-style common controls (comctl32
// version 6, the program's own) is a Unicode window even when created with CreateWindowExA,
// so WM_GETTEXT brings a count of WCHARs and a WCHAR buffer; a classic one takes ANSI. The
// system converts the answer for whoever asked in the other form, in this process or another
// (a screen reader).
LRESULT CALLBACK
TVersionView::LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* view = reinterpret_cast<TVersionView*>(self);
  try {
    switch (message) {
      case WM_PAINT:
        view->Paint();
        return 0;
      case WM_ERASEBKGND:
        return 1;  // Paint fills the whole label
      case WM_GETTEXTLENGTH: {
        const std::string text = view->DisplayText();
        return static_cast<LRESULT>(::IsWindowUnicode(hwnd) ? WideText(text).size() : text.size());
      }
      case WM_GETTEXT: {
        const std::string text = view->DisplayText();
        return ::IsWindowUnicode(hwnd) ? CopyText(WideText(text), wParam, lParam)
                                       : CopyText(text, wParam, lParam);
      }
      case WM_SETFONT: {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        view->FitToText(view->PeekText());
        return result;
      }
      case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, &TVersionView::LabelProc, 0);
        break;
      default:
        break;
    }
  } catch (...) {
    // Nothing leaves a window procedure: a label whose text cannot be built shows none.
    switch (message) {
      case WM_PAINT:
        ::ValidateRect(hwnd, nullptr);
        return 0;
      case WM_GETTEXT:
        return ::IsWindowUnicode(hwnd) ? CopyText(std::wstring(), wParam, lParam)
                                       : CopyText(std::string(), wParam, lParam);
      case WM_GETTEXTLENGTH:
      case WM_SETFONT:
        return 0;
      default:
        break;
    }
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace velmora::win
