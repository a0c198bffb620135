// The shell as the windows speak to it, recorded instead of done: what they open, and the
// notification-area icon (Wine's tray cannot be read back).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "windows/notify_icon.h"
#include "windows/shell_open.h"

namespace velmora::testing {

class RecordingShellOpener final : public win::ShellOpener {
 public:
  struct Call {
    HWND owner;
    std::string target;
    bool operator==(const Call&) const = default;
  };
  void Open(HWND owner, const std::string& target) override;

  std::vector<Call> calls;
  std::string failure;  // when set, Open throws it instead
};

class RecordingTrayShell final : public win::TrayShell {
 public:
  struct Call {
    DWORD message;
    NOTIFYICONDATAA data;
    bool answered;  // the shell did what it was asked
  };
  bool Notify(DWORD message, NOTIFYICONDATAA& data) override;

  // What the shell shows, from the calls it answered: the icon added and not deleted since, its
  // tip, the texts of its balloons.
  bool Shown() const;
  std::string Tip() const;
  std::vector<std::string> Balloons() const;
  std::vector<DWORD> Messages() const;

  bool refuse = false;  // no taskbar yet, as at logon
  bool refuseAdd = false;
  bool refuseModify = false;
  std::vector<Call> calls;
};

}  // namespace velmora::testing
