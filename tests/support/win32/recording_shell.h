// The shell as the windows speak to it, recorded instead of done: what they open, and the
// notification-area icon (Wine's tray cannot be read back).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <stdexcept>
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
  void Open(HWND owner, const std::string& target) override {
    if (!failure.empty())
      throw std::runtime_error(failure);
    calls.push_back({owner, target});
  }

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
  bool Notify(DWORD message, NOTIFYICONDATAA& data) override {
    const bool refused =
        refuse || (message == NIM_ADD && refuseAdd) || (message == NIM_MODIFY && refuseModify);
    calls.push_back({message, data, !refused});
    return !refused;
  }

  // What the shell shows, from the calls it answered: the icon added and not deleted since, its
  // tip, the texts of its balloons.
  bool Shown() const {
    bool shown = false;
    for (const Call& call : calls) {
      if (call.answered && (call.message == NIM_ADD || call.message == NIM_DELETE))
        shown = call.message == NIM_ADD;
    }
    return shown;
  }
  std::string Tip() const {
    std::string tip;
    for (const Call& call : calls) {
      if (call.answered && (call.message == NIM_ADD || call.message == NIM_MODIFY) &&
          (call.data.uFlags & NIF_TIP))
        tip = call.data.szTip;
    }
    return tip;
  }
  std::vector<std::string> Balloons() const {
    std::vector<std::string> texts;
    for (const Call& call : calls) {
      if (call.answered && call.message == NIM_MODIFY && (call.data.uFlags & NIF_INFO))
        texts.push_back(call.data.szInfo);
    }
    return texts;
  }
  std::vector<DWORD> Messages() const {
    std::vector<DWORD> messages;
    for (const Call& call : calls)
      messages.push_back(call.message);
    return messages;
  }

  bool refuse = false;  // no taskbar yet, as at logon
  bool refuseAdd = false;
  bool refuseModify = false;
  std::vector<Call> calls;
};

}  // namespace velmora::testing
