// The application's own hidden top-level window, the owner of the program's windows.
#include "windows/app_window.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::win {
namespace {

TEST(AppWindow, IsAHiddenTopLevelPopupCarryingTheTitle) {
  AppWindow app;
  ASSERT_TRUE(app.Create("Velmora"));
  const HWND window = app.Hwnd();
  EXPECT_EQ(WindowText(window), "Velmora");
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_EQ(::GetAncestor(window, GA_PARENT), ::GetDesktopWindow());
  EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CHILD), static_cast<DWORD>(WS_POPUP));
}

TEST(AppWindow, HasNoTaskbarButtonOfItsOwn) {
  AppWindow app;
  ASSERT_TRUE(app.Create("Velmora"));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(app.Hwnd(), GWL_EXSTYLE));
  EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0u);
}

}  // namespace
}  // namespace velmora::win
