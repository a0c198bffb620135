// The location details window: a small always-on-top window with the user's lifetime figures
// and the current work unit's figures for the location selected in the monitor window. It is
// shown without being modal and refills itself each time it becomes the active window: it asks
// the monitor window for the figures, which a reading thread reads from the folder, and shows
// them when they come. Its keys are a dialog's: Tab, Enter, Esc and the buttons' Alt+letter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "monitor/figure_texts.h"
#include "windows/handles.h"
#include "windows/window_base.h"

namespace velmora {

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

class TfrmDetails final : public win::BaseWindow {
 public:
  // Asks for the figures of the monitor window's selected row; they arrive through ShowFigures.
  using FiguresRequest = std::function<void()>;

  // Creates the window hidden, owned by `owner`. Throws std::runtime_error when the window
  // cannot be created.
  TfrmDetails(HWND owner, FiguresRequest requestFigures);
  ~TfrmDetails() override;

  // What the monitor window's More info command (F4) does: shows the window without making it
  // modal, or brings it to the front and activates it when it is already shown. Activation
  // fills it.
  void ShowAndActivate();

  // The program's event loop hands every message here first, so that the window takes the keys
  // of a dialog: Tab and Shift+Tab, Alt+C, Enter for the default button and Esc (FormKeyPress),
  // whichever of its controls has the keyboard focus. True when the message was used and must
  // not be dispatched.
  bool PreTranslateMessage(MSG& message);

  // Event handlers.
  void FormActivate();
  // Asks for the selected row's figures.
  void ShowDetails();
  // Fills the window with the figures of the row that was selected when it asked.
  void ShowFigures(const SelectedFigures& figures);
  void btnCloseClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportFailure(const char* what) override;

 private:
  void CreateControls();
  // Fonts, icons, controls and the window's size at `dpi` (it moved to a screen of another dpi).
  void ApplyDpi(int dpi);
  void SetLabel(int id, const std::string& text) const;
  void SetStatusText(const std::string& text) const;

  FiguresRequest requestFigures_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  win::FontHandle font_;
};

}  // namespace velmora
