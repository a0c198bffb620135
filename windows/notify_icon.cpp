#include "windows/notify_icon.h"

#include <cstring>

#include "windows/artwork.h"
#include "windows/code_page_chars.h"

namespace velmora::win {
namespace {

class ShellNotifyIcon final : public TrayShell {
 public:
  bool Notify(DWORD message, NOTIFYICONDATAA& data) override {
    return ::Shell_NotifyIconA(message, &data) != FALSE;
  }
};

template <std::size_t N>
void CopyCut(char (&buffer)[N], const std::string& text) {
  const std::string cut = CutForBuffer(text, N);
  std::memcpy(buffer, cut.data(), cut.size());
  buffer[cut.size()] = '\0';
}

// Without NIF_SHOWTIP a version 4 icon shows no tip of its own.
constexpr UINT kTipFlags = NIF_TIP | NIF_SHOWTIP;

}  // namespace

TrayShell& SystemTrayShell() {
  static ShellNotifyIcon shell;
  return shell;
}

UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
  return message;
}

std::string CutForBuffer(std::string_view text, std::size_t bufferSize, UINT codePage) {
  if (bufferSize == 0)
    return std::string();
  const std::size_t maxChars = bufferSize - 1;
  if (text.size() <= maxChars)
    return std::string(text);
  const CharSizes sizes = CodePageCharSizes(codePage);
  // A trail byte may look like any other character, so characters are found from the start.
  std::size_t end = 0;
  for (std::size_t at = 0; at <= maxChars; at += sizes.Of(static_cast<unsigned char>(text[at])))
    end = at;
  return std::string(text.substr(0, end));
}

int NotificationAreaDpi() {
  // The taskbar stands on the primary screen and follows its dpi, also after a change of it that
  // the system dpi of a running program does not see.
  HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
  const UINT dpi = taskbar ? ::GetDpiForWindow(taskbar) : 0;
  return static_cast<int>(dpi > 0 ? dpi : ::GetDpiForSystem());
}

NotifyIcon::NotifyIcon(TrayShell& shell, HWND owner, UINT id, UINT callbackMessage, int dpi)
    : shell_(shell), owner_(owner), id_(id), callbackMessage_(callbackMessage) {
  MakeIcons(dpi);
}

NotifyIcon::~NotifyIcon() {
  Hide();
}

void NotifyIcon::MakeIcons(int dpi) {
  dpi_ = dpi;
  const UINT at = static_cast<UINT>(dpi);
  smallIcon_ = MakeAppIcon(::GetSystemMetricsForDpi(SM_CXSMICON, at));
  largeIcon_ = MakeAppIcon(::GetSystemMetricsForDpi(SM_CXICON, at));
}

NOTIFYICONDATAA NotifyIcon::Data(UINT flags) const {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = id_;
  data.uFlags = flags;
  if (flags & NIF_TIP)
    CopyCut(data.szTip, tip_);
  return data;
}

bool NotifyIcon::Add() {
  NOTIFYICONDATAA data = Data(NIF_MESSAGE | NIF_ICON | kTipFlags);
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = smallIcon_.Get();
  if (!shell_.Notify(NIM_ADD, data)) {
    // The shell may still hold the icon (a TaskbarCreated sent for a dpi change, not a restart):
    // bring it up to date instead.
    if (!shell_.Notify(NIM_MODIFY, data))
      return false;
  }
  NOTIFYICONDATAA version = Data(0);
  version.uVersion = NOTIFYICON_VERSION_4;
  shell_.Notify(NIM_SETVERSION, version);
  added_ = true;
  return true;
}

bool NotifyIcon::Show() {
  wanted_ = true;
  return added_ || Add();
}

void NotifyIcon::Hide() {
  wanted_ = false;
  if (!added_)
    return;
  NOTIFYICONDATAA data = Data(0);
  shell_.Notify(NIM_DELETE, data);
  added_ = false;
}

bool NotifyIcon::Readd() {
  if (!wanted_)
    return false;
  added_ = false;
  return Add();
}

bool NotifyIcon::Readd(int dpi) {
  if (dpi != dpi_)
    MakeIcons(dpi);
  return Readd();
}

bool NotifyIcon::SetTip(const std::string& tip) {
  tip_ = CutForBuffer(tip, sizeof(NOTIFYICONDATAA::szTip));
  if (!added_)
    return false;
  NOTIFYICONDATAA data = Data(kTipFlags);
  return shell_.Notify(NIM_MODIFY, data);
}

bool NotifyIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!added_)
    return false;
  NOTIFYICONDATAA data = Data(NIF_INFO | kTipFlags);
  CopyCut(data.szInfoTitle, title);
  CopyCut(data.szInfo, text);
  data.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON;
  data.hBalloonIcon = largeIcon_.Get();
  return shell_.Notify(NIM_MODIFY, data);
}

bool NotifyIcon::SetDpi(int dpi) {
  MakeIcons(dpi);
  if (!added_)
    return false;
  NOTIFYICONDATAA data = Data(NIF_ICON | kTipFlags);
  data.hIcon = smallIcon_.Get();
  return shell_.Notify(NIM_MODIFY, data);
}

bool NotifyIcon::ReturnFocus() {
  if (!added_)
    return false;
  NOTIFYICONDATAA data = Data(0);
  return shell_.Notify(NIM_SETFOCUS, data);
}

}  // namespace velmora::win
