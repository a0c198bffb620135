// The location details window: a small always-on-top window with the user's lifetime figures
// and the current work unit's figures for the location selected in the monitor window. It is
// shown without being modal and refills itself each time it becomes the active window.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "windows/handles.h"
#include "windows/window_base.h"

namespace velmora {
class FileSystem;
}

namespace velmora::win {

// Control identifiers of the details window.
enum DetailsControl : int {
  kDetailsBtnClose = 100,
  kDetailsFrmUser,
  kDetailsFrmUnit,
  kDetailsPromptUser,
  kDetailsPromptTotUnits,
  kDetailsPromptTotCPU,
  kDetailsPromptAvgCPU,
  kDetailsPromptProgress,
  kDetailsPromptTimeTotal,
  kDetailsPromptTimeLeft,
  kDetailsLblUser,
  kDetailsLblUserTotUnits,
  kDetailsLblUserTotCPU,
  kDetailsLblUserAvgCPU,
  kDetailsLblProgress,
  kDetailsLblTimeTotal,
  kDetailsLblTimeLeft,
  kDetailsSttBar,
};

// The client size the window is laid out for, in pixels at 96 dots per inch.
inline constexpr int kDetailsClientWidth = 352;
inline constexpr int kDetailsClientHeight = 245;
inline constexpr int kDetailsStatusHeight = 19;

class TfrmDetails final : public BaseWindow {
 public:
  // The folder of the monitor window's selected row, or nothing when no row is selected.
  using SelectedPathSource = std::function<std::optional<std::string>()>;

  // Creates the window hidden, owned by `owner`. Throws std::runtime_error when the window
  // cannot be created.
  TfrmDetails(HWND owner, FileSystem& fs, SelectedPathSource selectedPath);
  ~TfrmDetails() override;

  // What the monitor window's More info command (F4) does: shows the window without making it
  // modal, or brings it to the front and activates it when it is already shown. Activation
  // fills it.
  void ShowAndActivate();

  // The program's event loop hands every message here first: Esc closes the window and Enter
  // presses its default button, whichever of its controls has the keyboard focus. True when
  // the message was used and must not be dispatched.
  bool PreTranslateMessage(MSG& message);

  // Event handlers.
  void FormActivate();
  void ShowDetails();
  void btnCloseClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportFailure(const char* what) override;

 private:
  void CreateControls();
  void SetIcons();
  // Fonts, icons, controls and the window's size at `dpi` (it moved to a screen of another dpi).
  void ApplyDpi(int dpi);
  void SetLabel(int id, const std::string& text) const;
  void SetStatusText(const std::string& text) const;

  FileSystem& fs_;
  SelectedPathSource selectedPath_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  FontHandle font_;
  IconHandle smallIcon_;
  IconHandle largeIcon_;
};

}  // namespace velmora::win
