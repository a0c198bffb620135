// Handing a document or a link to the shell ("open"). A seam so tests can see the target.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::win {

class ShellOpener {
 public:
  virtual ~ShellOpener() = default;
  // ShellExecuteA(owner, "open", target, "", "", SW_SHOWNORMAL); the result is not examined.
  virtual void Open(HWND owner, const std::string& target) = 0;
};

class Win32ShellOpener final : public ShellOpener {
 public:
  void Open(HWND owner, const std::string& target) override;
};

}  // namespace velmora::win
