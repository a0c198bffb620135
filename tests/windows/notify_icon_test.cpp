// The notification-area icon: what it asks of the shell, recorded through the TrayShell seam,
// and once against Wine's own shell.
#include "windows/notify_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/win32/canvas.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/stand_in_window.h"

namespace velmora::win {
namespace {

constexpr UINT kId = 3;
constexpr UINT kCallback = WM_APP + 12;

using Call = testing::RecordingTrayShell::Call;

int IconWidth(HICON icon) {
  return testing::ReadIcon(icon).size.cx;
}

// What a call asks, of which icon, and the tip it carries: the fields every call has.
using Asking = std::tuple<DWORD, HWND, UINT, UINT, std::string>;

Asking Asked(const Call& call) {
  return {call.message, call.data.hWnd, call.data.uID, call.data.uFlags, call.data.szTip};
}

class NotifyIconTest : public ::testing::Test {
 protected:
  WindowHandle owner_ = testing::StandInWindow("tray owner", WS_POPUP, {10, 10});
  testing::RecordingTrayShell tray_;
  NotifyIcon icon_{tray_, owner_.Get(), kId, kCallback, 96};  // asks nothing of the shell until shown

  Asking OfOurIcon(DWORD message, UINT flags, const std::string& tip = "") const {
    return {message, owner_.Get(), kId, flags, tip};
  }

  void ExpectAddedWithVersion4(std::size_t at, const char* tip) {
    ASSERT_GE(tray_.calls.size(), at + 2);
    const NOTIFYICONDATAA& add = tray_.calls[at].data;
    EXPECT_EQ(Asked(tray_.calls[at]),
              OfOurIcon(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP, tip));
    EXPECT_EQ(std::pair(add.cbSize, add.uCallbackMessage),
              std::pair(DWORD{sizeof(NOTIFYICONDATAA)}, kCallback));
    EXPECT_NE(add.hIcon, nullptr);
    EXPECT_EQ(Asked(tray_.calls[at + 1]), OfOurIcon(NIM_SETVERSION, 0));
    EXPECT_EQ(tray_.calls[at + 1].data.uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
  }
};

TEST_F(NotifyIconTest, NothingIsAskedBeforeShow) {
  {
    NotifyIcon icon(tray_, owner_.Get(), kId, kCallback, 96);
    EXPECT_FALSE(icon.SetTip("Velmora: Work 1, Ready 0, Stalled 0"));
    EXPECT_FALSE(icon.ShowBalloon("Velmora", "C:\\seti: no progress for 20 minutes"));
  }
  EXPECT_TRUE(tray_.calls.empty());
}

TEST_F(NotifyIconTest, ShowAndReaddAddWithTheTipAndVersion4) {
  icon_.SetTip("Velmora: Work 4, Ready 1, Stalled 1");
  ASSERT_TRUE(icon_.Show());
  ExpectAddedWithVersion4(0, "Velmora: Work 4, Ready 1, Stalled 1");
  EXPECT_EQ(tray_.calls[0].data.hIcon, icon_.SmallIcon());
  EXPECT_EQ(tray_.calls.size(), 2u);
  // Shown already: nothing more to ask.
  EXPECT_TRUE(icon_.Show());
  EXPECT_EQ(tray_.calls.size(), 2u);

  // The taskbar came back: added again with the tip it has now.
  icon_.SetTip("Velmora: Work 2, Ready 0, Stalled 1");
  tray_.calls.clear();
  EXPECT_TRUE(icon_.Readd());
  ExpectAddedWithVersion4(0, "Velmora: Work 2, Ready 0, Stalled 1");
  EXPECT_EQ(tray_.calls.size(), 2u);
}

TEST_F(NotifyIconTest, TipIsModifiedAndCutToItsBuffer) {
  ASSERT_TRUE(icon_.Show());
  const std::string longTip(200, 'w');
  EXPECT_TRUE(icon_.SetTip(longTip));
  ASSERT_EQ(tray_.calls.size(), 3u);
  EXPECT_EQ(Asked(tray_.calls[2]), OfOurIcon(NIM_MODIFY, NIF_TIP | NIF_SHOWTIP, longTip.substr(0, 127)));
}

TEST_F(NotifyIconTest, BalloonCarriesTitleTextAndTheLargeIcon) {
  const std::string tip = "Velmora: Work 0, Ready 0, Stalled 0";
  const std::string text = "C:\\seti\\alpha: no progress for 20 minutes\n2 results waiting to be sent";
  icon_.SetTip(tip);
  ASSERT_TRUE(icon_.Show());
  EXPECT_TRUE(icon_.ShowBalloon("Velmora", text));
  ASSERT_EQ(tray_.calls.size(), 3u);
  const NOTIFYICONDATAA& balloon = tray_.calls[2].data;
  EXPECT_EQ(Asked(tray_.calls[2]), OfOurIcon(NIM_MODIFY, NIF_INFO | NIF_TIP | NIF_SHOWTIP, tip));
  EXPECT_EQ(std::tuple(std::string(balloon.szInfoTitle), std::string(balloon.szInfo), balloon.dwInfoFlags,
                       balloon.hBalloonIcon),
            std::tuple(std::string("Velmora"), text, DWORD{NIIF_USER | NIIF_LARGE_ICON}, icon_.LargeIcon()));

  EXPECT_TRUE(icon_.ShowBalloon(std::string(100, 't'), std::string(400, 'b')));
  EXPECT_EQ(std::string(tray_.calls[3].data.szInfoTitle), std::string(63, 't'));
  EXPECT_EQ(std::string(tray_.calls[3].data.szInfo), std::string(255, 'b'));
}

TEST_F(NotifyIconTest, DestructionAndHideDeleteOnce) {
  for (const bool hide : {false, true}) {
    tray_.calls.clear();
    {
      NotifyIcon icon(tray_, owner_.Get(), kId, kCallback, 96);
      ASSERT_TRUE(icon.Show());
      if (hide) {
        icon.Hide();
        EXPECT_FALSE(icon.ShowBalloon("Velmora", "late news"));
        EXPECT_FALSE(icon.Readd());
      }
    }
    EXPECT_EQ(tray_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION, NIM_DELETE})) << hide;
    EXPECT_EQ(Asked(tray_.calls[2]), OfOurIcon(NIM_DELETE, 0)) << hide;
  }
}

// The shell still holds the icon (a TaskbarCreated for a dpi change): its NIM_ADD fails, and the
// icon is brought up to date instead.
TEST_F(NotifyIconTest, ReaddOfAnIconTheShellStillHoldsModifiesIt) {
  ASSERT_TRUE(icon_.Show());
  tray_.calls.clear();
  tray_.refuseAdd = true;
  EXPECT_TRUE(icon_.Readd());
  EXPECT_EQ(tray_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_SETVERSION}));
  EXPECT_EQ(Asked(tray_.calls[1]), OfOurIcon(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP));
  EXPECT_TRUE(icon_.Added());
}

// No taskbar yet when the icon was first shown: it stays wanted, and comes with the taskbar.
TEST_F(NotifyIconTest, RefusedShowIsAddedWhenTheTaskbarComes) {
  tray_.refuseAdd = true;
  tray_.refuseModify = true;
  EXPECT_FALSE(icon_.Show());
  EXPECT_TRUE(icon_.Wanted());
  EXPECT_FALSE(icon_.Added());
  EXPECT_FALSE(icon_.ShowBalloon("Velmora", "nobody sees this"));
  tray_.calls.clear();
  tray_.refuseAdd = false;
  EXPECT_TRUE(icon_.Readd());
  ExpectAddedWithVersion4(0, "");
  EXPECT_TRUE(icon_.Added());
}

struct DpiCase {
  int dpi;
  int small;
  int large;
};

class NotifyIconDpiTest : public NotifyIconTest, public ::testing::WithParamInterface<DpiCase> {};

TEST_P(NotifyIconDpiTest, IconsAtTheSizesOfTheScreen) {
  ASSERT_TRUE(icon_.Show());
  EXPECT_TRUE(icon_.SetDpi(GetParam().dpi));
  ASSERT_EQ(tray_.calls.size(), 3u);
  EXPECT_EQ(Asked(tray_.calls[2]), OfOurIcon(NIM_MODIFY, NIF_ICON | NIF_TIP | NIF_SHOWTIP));
  EXPECT_EQ(tray_.calls[2].data.hIcon, icon_.SmallIcon());
  EXPECT_EQ(IconWidth(icon_.SmallIcon()), GetParam().small);
  EXPECT_EQ(IconWidth(icon_.LargeIcon()), GetParam().large);

  NotifyIcon fresh(tray_, owner_.Get(), kId + 1, kCallback, GetParam().dpi);
  EXPECT_EQ(IconWidth(fresh.SmallIcon()), GetParam().small);
  EXPECT_EQ(IconWidth(fresh.LargeIcon()), GetParam().large);
  NotifyIcon readded(tray_, owner_.Get(), kId + 2, kCallback, 96);
  EXPECT_TRUE(readded.Show() && readded.Readd(GetParam().dpi));  // a TaskbarCreated that announces a dpi
  EXPECT_EQ(IconWidth(tray_.calls[tray_.calls.size() - 2].data.hIcon), GetParam().small);  // its NIM_ADD
}

INSTANTIATE_TEST_SUITE_P(
    Screens,
    NotifyIconDpiTest,
    ::testing::Values(DpiCase{96, 16, 32}, DpiCase{120, 20, 40}, DpiCase{144, 24, 48}, DpiCase{192, 32, 64}),
    [](const auto& row) { return "Dpi" + std::to_string(row.param.dpi); });

// "\x82\xa0\x82\xa2" is two hiragana letters in code page 932 and four letters in 1252.
TEST(CutForBuffer, FitsWithItsNulAndKeepsCharactersWhole) {
  const struct {
    const char* text;
    std::size_t bufferSize;
    UINT codePage;
    const char* expected;
  } rows[] = {
      {"abc", 4, 1252, "abc"},
      {"abcd", 4, 1252, "abc"},
      {"abc", 1, 1252, ""},
      {"abc", 0, 1252, ""},
      {"\x82\xa0\x82\xa2", 4, 1252, "\x82\xa0\x82"},
      {"\x82\xa0\x82\xa2", 4, 932, "\x82\xa0"},
      {"\x82\xa0\x82\xa2", 5, 932, "\x82\xa0\x82\xa2"},
      {"a\x82\xa0", 3, 932, "a"},
      {"ab\x82\xa0", 4, 932, "ab"},
      {"a\xe6\x97\xa5", 5, 65001, "a\xe6\x97\xa5"},
      {"a\xe6\x97\xa5", 4, 65001, "a"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CutForBuffer(row.text, row.bufferSize, row.codePage), row.expected)
        << row.bufferSize << " bytes, code page " << row.codePage;
  }
}

// Wine's own shell: the icon is there while the object lives (a modify of it succeeds) and gone
// after (the same modify fails).
TEST(NotifyIconShellTest, WineHoldsTheIconWhileItLives) {
  const WindowHandle owner = testing::StandInWindow("tray owner", WS_POPUP, {10, 10});
  ASSERT_TRUE(owner);
  auto modify = [&owner] {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner.Get();
    data.uID = kId;
    data.uFlags = NIF_TIP | NIF_SHOWTIP;
    lstrcpynA(data.szTip, "probe", sizeof(data.szTip));
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
  };
  {
    NotifyIcon icon(SystemTrayShell(), owner.Get(), kId, kCallback, 96);
    if (!icon.Show())
      GTEST_SKIP() << "the shell refused NIM_ADD: no notification area here";
    EXPECT_TRUE(icon.SetTip("Velmora: Work 1, Ready 0, Stalled 0"));
    EXPECT_TRUE(icon.ShowBalloon("Velmora", "C:\\seti: no progress for 20 minutes"));
    EXPECT_TRUE(icon.Readd());
    EXPECT_TRUE(icon.SetDpi(144));
    EXPECT_TRUE(modify());
  }
  EXPECT_FALSE(modify());
}

}  // namespace
}  // namespace velmora::win
