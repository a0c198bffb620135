#include "windows/notify_icon.h"

#include <algorithm>
#include <cstring>

#include "windows/artwork.h"

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
  const std::size_t limit = std::min(text.size(), bufferSize - 1);
  std::size_t end = 0;
  while (end < limit) {
    const std::size_t step = ::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[end])) ? 2 : 1;
    if (end + step > limit)
      break;
    end += step;
  }
  return std::string(text.substr(0, end));
}

NotifyIcon::NotifyIcon(TrayShell& shell, HWND owner, UINT id, UINT callbackMessage, int dpi)
    : shell_(shell), owner_(owner), id_(id), callbackMessage_(callbackMessage) {
  MakeIcons(dpi);
}

NotifyIcon::~NotifyIcon() {
  Hide();
}

void NotifyIcon::MakeIcons(int dpi) {
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
  return data;
}

bool NotifyIcon::Add() {
  NOTIFYICONDATAA data = Data(NIF_MESSAGE | NIF_ICON | kTipFlags);
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = smallIcon_.Get();
  CopyCut(data.szTip, tip_);
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

bool NotifyIcon::SetTip(const std::string& tip) {
  tip_ = CutForBuffer(tip, sizeof(NOTIFYICONDATAA::szTip));
  if (!added_)
    return false;
  NOTIFYICONDATAA data = Data(kTipFlags);
  CopyCut(data.szTip, tip_);
  return shell_.Notify(NIM_MODIFY, data);
}

bool NotifyIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!added_)
    return false;
  NOTIFYICONDATAA data = Data(NIF_INFO);
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
  NOTIFYICONDATAA data = Data(NIF_ICON);
  data.hIcon = smallIcon_.Get();
  return shell_.Notify(NIM_MODIFY, data);
}

}  // namespace velmora::win
