#include "tests/support/win32/control_placement.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/support/win32/window_finders.h"
#include "windows/layout_table.h"
#include "windows/ui_font.h"
#include "windows/window_base.h"

namespace velmora::testing {

RECT RectInParent(HWND child) {
  return RectIn(::GetParent(child), child);
}

RECT RectIn(HWND window, HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

std::array<LONG, 4> Bounds(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::array<LONG, 2> SizeOf(const RECT& r) {
  return {r.right - r.left, r.bottom - r.top};
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

int TextWidth(HWND control) {
  return TextWidth(control, win::WindowText(control));
}

int TextWidth(HWND control, const std::string& text) {
  return TextExtent(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), text).cx;
}

SIZE TextExtent(HFONT font, const std::string& text) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE extent{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return extent;
}

LOGFONTA ControlFont(HWND control) {
  LOGFONTA face{};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof(face), &face);
  return face;
}

int FontHeight(HWND control) {
  return ControlFont(control).lfHeight;
}

int ScreenPx(int value) {
  return win::ScaleToDpi(value, win::ScreenDpi());
}

void ExpectFixedFrame(HWND window, SIZE client) {
  RECT area{};
  ::GetClientRect(window, &area);
  EXPECT_EQ((std::array<LONG, 2>{area.right, area.bottom}),
            (std::array<LONG, 2>{ScreenPx(client.cx), ScreenPx(client.cy)}));
  EXPECT_EQ(::GetWindowLongPtrA(window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
  EXPECT_NE(::SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
}

void ExpectLaidOut(HWND window, const LaidOutControl& row, int dpi) {
  HWND control = ::GetDlgItem(window, row.id);
  ASSERT_NE(control, nullptr) << row.id;
  const RECT place = RectIn(window, control);
  const std::string name = row.text ? row.text : std::to_string(row.id);
  EXPECT_EQ(place.left, win::ScaleToDpi(row.x, dpi)) << name << " at " << dpi;
  EXPECT_EQ(place.top, win::ScaleToDpi(row.y, dpi)) << name << " at " << dpi;
  if (row.width) {
    EXPECT_EQ(place.right - place.left, win::ScaleToDpi(row.width, dpi)) << name << " at " << dpi;
  }
  if (row.text) {
    EXPECT_EQ(win::WindowText(control), row.text);
  }
  EXPECT_EQ(FontHeight(control), -::MulDiv(8, dpi, 72)) << name << " at " << dpi;
}

void ExpectFollowsDpiChanges(HWND window, std::span<const LaidOutControl> rows, SIZE client) {
  for (const int dpi : {192, 120, win::ScreenDpi()}) {
    RECT suggested{40, 30, 500, 400};
    ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT area{};
    ::GetClientRect(window, &area);
    const RECT bounds = WindowRect(window);
    EXPECT_EQ((std::array<LONG, 4>{area.right, area.bottom, bounds.left, bounds.top}),
              (std::array<LONG, 4>{win::ScaleToDpi(client.cx, dpi), win::ScaleToDpi(client.cy, dpi), 40, 30}))
        << dpi;
    for (const LaidOutControl& row : rows)
      ExpectLaidOut(window, row, dpi);
  }
}

namespace {

bool Overlap(const RECT& a, const RECT& b) {
  RECT common{};
  return ::IntersectRect(&common, &a, &b) != 0;
}

// The children that show, each with the slot it takes.
struct Slot {
  HWND control;
  RECT rect;
  bool groupBox;
  HWND sharedWith;  // an up-down control's buddy, and the other way round
};

std::vector<Slot> VisibleSlots(HWND parent) {
  std::vector<Slot> slots;
  for (HWND child : Children(parent)) {
    // The style's own flag: the tests look at windows that are not shown yet.
    if ((::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0)
      slots.push_back(
          {child, RectInParent(child),
           HasClass(child, "Button") && (::GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX,
           nullptr});
  }
  for (Slot& slot : slots) {
    if (!HasClass(slot.control, UPDOWN_CLASSA))
      continue;
    auto buddy = reinterpret_cast<HWND>(::SendMessageA(slot.control, UDM_GETBUDDY, 0, 0));
    for (Slot& other : slots) {
      if (other.control == buddy) {
        ::UnionRect(&other.rect, &other.rect, &slot.rect);
        slot.rect = other.rect;
        slot.sharedWith = buddy;
        other.sharedWith = slot.control;
      }
    }
  }
  return slots;
}

}  // namespace

void ExpectControlsKeepApart(HWND parent) {
  RECT client{};
  ::GetClientRect(parent, &client);
  const std::vector<Slot> slots = VisibleSlots(parent);
  EXPECT_GE(slots.size(), 2u) << "no controls to hold apart in \"" << win::WindowText(parent) << "\"";
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const Slot& a = slots[i];
    EXPECT_TRUE(Inside(a.rect, client)) << win::WindowText(a.control) << " sticks out of its parent";
    for (std::size_t j = i + 1; j < slots.size(); ++j) {
      const Slot& b = slots[j];
      if (a.sharedWith == b.control || (a.groupBox && Inside(b.rect, a.rect)) ||
          (b.groupBox && Inside(a.rect, b.rect))) {
        continue;
      }
      EXPECT_FALSE(Overlap(a.rect, b.rect))
          << "\"" << win::WindowText(a.control) << "\" and \"" << win::WindowText(b.control) << "\" overlap";
    }
  }
}

}  // namespace velmora::testing
