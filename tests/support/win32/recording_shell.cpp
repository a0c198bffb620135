#include "tests/support/win32/recording_shell.h"

#include <stdexcept>

namespace velmora::testing {

void RecordingShellOpener::Open(HWND owner, const std::string& target) {
  if (!failure.empty())
    throw std::runtime_error(failure);
  calls.push_back({owner, target});
}

bool RecordingTrayShell::Notify(DWORD message, NOTIFYICONDATAA& data) {
  const bool refused = refuse || (message == NIM_ADD && refuseAdd) || (message == NIM_MODIFY && refuseModify);
  calls.push_back({message, data, !refused});
  return !refused;
}

bool RecordingTrayShell::Shown() const {
  bool shown = false;
  for (const Call& call : calls) {
    if (call.answered && call.message == NIM_ADD)
      shown = true;
    if (call.answered && call.message == NIM_DELETE)
      shown = false;
  }
  return shown;
}

std::string RecordingTrayShell::Tip() const {
  std::string tip;
  for (const Call& call : calls) {
    if (call.answered && (call.message == NIM_ADD || call.message == NIM_MODIFY) &&
        (call.data.uFlags & NIF_TIP))
      tip = call.data.szTip;
  }
  return tip;
}

std::vector<std::string> RecordingTrayShell::Balloons() const {
  std::vector<std::string> texts;
  for (const Call& call : calls) {
    if (call.answered && call.message == NIM_MODIFY && (call.data.uFlags & NIF_INFO))
      texts.push_back(call.data.szInfo);
  }
  return texts;
}

std::vector<DWORD> RecordingTrayShell::Messages() const {
  std::vector<DWORD> messages;
  for (const Call& call : calls)
    messages.push_back(call.message);
  return messages;
}

}  // namespace velmora::testing
