#include "windows/panel_hints.h"

#include <commctrl.h>

namespace velmora::win {

namespace {

RECT PanelRect(HWND statusBar, int part) {
  RECT rect{};
  ::SendMessageA(statusBar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&rect));
  return rect;
}

TTTOOLINFOA PanelTool(HWND statusBar, int part) {
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = statusBar;
  tool.uId = static_cast<UINT_PTR>(part);
  return tool;
}

}  // namespace

bool PanelHints::Create(HWND statusBar, std::span<const char* const> hints) {
  statusBar_ = statusBar;
  count_ = 0;
  tooltip_.Reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, ::GetAncestor(statusBar, GA_ROOT), nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr));
  if (!tooltip_)
    return false;
  for (const char* hint : hints) {
    TTTOOLINFOA tool = PanelTool(statusBar_, count_);
    // The control watches the bar's mouse messages itself and keeps its own copy of the text.
    tool.uFlags = TTF_SUBCLASS;
    tool.rect = PanelRect(statusBar_, count_);
    tool.lpszText = const_cast<char*>(hint);
    if (!::SendMessageA(tooltip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)))
      return false;
    ++count_;
  }
  return true;
}

void PanelHints::Follow() const {
  for (int part = 0; part < count_; ++part) {
    TTTOOLINFOA tool = PanelTool(statusBar_, part);
    tool.rect = PanelRect(statusBar_, part);
    ::SendMessageA(tooltip_.Get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

}  // namespace velmora::win
