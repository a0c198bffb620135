// The application's own hidden top-level window, the owner of the program's windows, and the
// window base that every window of the program stands on.
#include "windows/app_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::win {
namespace {

TEST(AppWindow, IsAHiddenTopLevelPopupCarryingTheTitleWithoutATaskbarButton) {
  AppWindow app;
  ASSERT_TRUE(app.Create("Velmora"));
  const HWND window = app.Hwnd();
  EXPECT_EQ(WindowText(window), "Velmora");
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_EQ(::GetAncestor(window, GA_PARENT), ::GetDesktopWindow());
  EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CHILD), static_cast<DWORD>(WS_POPUP));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE));
  EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0u);
}

// A window whose handler throws on one chosen message and records what it is told to report.
class ThrowingWindow final : public BaseWindow {
 public:
  explicit ThrowingWindow(UINT throwOn) : throwOn_(throwOn) {
    CreateBound({.className = "VelmoraTestThrowingWindow", .style = WS_POPUP, .width = 10, .height = 10});
  }
  std::vector<std::string> reported;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == throwOn_)
      throw std::runtime_error("Handler failed");
    return BaseWindow::HandleMessage(message, wParam, lParam);
  }
  void ReportFailure(const char* what) override { reported.emplace_back(what); }

 private:
  UINT throwOn_;
};

// What the window's user data held once the window procedure had seen WM_NCDESTROY.
LRESULT CALLBACK
WatchNcDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR seen) {
  const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    *reinterpret_cast<LONG_PTR*>(seen) = ::GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    ::RemoveWindowSubclass(hwnd, &WatchNcDestroy, 0);
  }
  return result;
}

// The failure stops at the window procedure and is reported; the window is unbound from its
// object when it is destroyed, whichever message threw: one sent and posted, or WM_NCDESTROY.
TEST(AppWindow, AHandlerThatThrowsIsReportedAndStillUnboundOnDestroy) {
  for (const UINT throwOn : {UINT{WM_APP}, UINT{WM_NCDESTROY}}) {
    SCOPED_TRACE(throwOn);
    ThrowingWindow window(throwOn);
    const HWND hwnd = window.Hwnd();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(::GetWindowLongPtrA(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&window));
    LONG_PTR userDataAtEnd = -1;
    ASSERT_TRUE(::SetWindowSubclass(hwnd, &WatchNcDestroy, 0, reinterpret_cast<DWORD_PTR>(&userDataAtEnd)));
    bool escaped = false;
    try {
      ::SendMessageA(hwnd, WM_APP, 0, 0);
      ::PostMessageA(hwnd, WM_APP, 0, 0);
      MSG message;
      while (::PeekMessageA(&message, hwnd, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&message);
      ::DestroyWindow(hwnd);
    } catch (...) {
      escaped = true;
    }
    EXPECT_FALSE(escaped) << "an exception left the window procedure";
    const std::size_t throws = throwOn == WM_APP ? 2 : 1;
    EXPECT_EQ(window.reported, std::vector<std::string>(throws, "Handler failed"));
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(window.Hwnd(), nullptr);
    EXPECT_EQ(userDataAtEnd, 0);
  }
}

}  // namespace
}  // namespace velmora::win
