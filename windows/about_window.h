// The about window: the program's name, icon and version, the maker's addresses as links that
// open in the user's mail program or browser, a notice line and a Credits button. Created
// hidden once, shown modally by the About command, hidden again when closed.
#pragma once

#include <windows.h>

#include <string>

#include "windows/handles.h"
#include "windows/home_page.h"
#include "windows/shell_open.h"
#include "windows/version_view.h"
#include "windows/window_base.h"

namespace velmora::win {

// Control identifiers of the about window. OKButton is IDOK, so the dialog manager's Enter
// reaches it as the default button.
enum AboutControl : int {
  kAboutOKButton = IDOK,
  kAboutLblEMail = 200,
  kAboutLblHttpEuro,
  kAboutFldHttpUSA,
  kAboutBtnCredits,
  kAboutLblVersion,
  kAboutPromptVersion,
  kAboutFreeware,
  kAboutPromptEMail,
  kAboutPromptEuro,
  kAboutPromptUSA,
  kAboutNotice,
};

// The client size the window is laid out for, in pixels at 96 dots per inch.
inline constexpr int kAboutClientWidth = 325;
inline constexpr int kAboutClientHeight = 213;

// What the window shows; invented, non-personal addresses in the reserved .invalid domain.
inline constexpr const char* kAboutEMail = "velmora@tarnek.invalid";
inline constexpr const char* kAboutHttpEuro = kHomePageEurope;
inline constexpr const char* kAboutHttpUSA = kHomePageUSA;
inline constexpr const char* kAboutNoticeText = "Tarnek, 2026, Example Town";
inline constexpr const char* kCreditsLine1 = "  The SETI client's makers, for the work units,";
inline constexpr const char* kCreditsLine2 = "  The testers of the early versions, for their reports,";
inline constexpr const char* kCreditsLine3 = "  Everyone who keeps a client running, for their patience.";

class TfrmAbout final : public BaseWindow {
 public:
  // Creates the window hidden, owned by `owner`; links go to `shell`. Throws
  // std::runtime_error when the window cannot be created.
  TfrmAbout(HWND owner, ShellOpener& shell);
  ~TfrmAbout() override;

  // The About command: centres the window on its owner's screen, shows it modally (every other
  // enabled window of the thread is disabled meanwhile) and hides it again when it is closed.
  // IDOK for the OK button or Enter; IDCANCEL for Escape or the close box.
  int ShowModal();

  // Event handlers.
  void FormKeyPress(char key);
  void lblE_mailClick();
  void lblHttpEuroClick();
  void fldHttpUSAClick();
  void btnCreditsClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportFailure(const char* what) override;

 private:
  static LRESULT CALLBACK
  LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK
  NoFocusButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  void CreateControls();
  // Fonts and icons at dpi_.
  void MakeDpiResources();
  // Fonts, icons, controls and the window's size at `dpi` (it moved to a screen of another dpi).
  void ApplyDpi(int dpi);
  // Centres the window on the work area of the screen the window it was opened from is on.
  void CentreOnOwnersScreen();
  // The envelope and the globe over the face colour.
  void MakePictures();
  // The modal loop's look at each message before it is dispatched: Esc and Enter whichever
  // control has the focus, then Tab between the links and the OK button.
  bool PreTranslateMessage(MSG& message);
  void EndModal(int result);
  void Paint();
  void LinkClick(int id);
  int Scale(int value) const;

  ShellOpener& shell_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  int modalResult_ = 0;  // 0 while the modal loop runs
  bool modal_ = false;
  HWND lastFocus_ = nullptr;  // the control to give the focus back to on activation

  FontHandle font_;
  FontHandle linkFont_;
  FontHandle nameFont_;
  IconHandle programIcon_;
  BitmapHandle envelope_;
  BitmapHandle globe_;
  TVersionView lblVersion_;
};

}  // namespace velmora::win
