// The monitor window's menu, accelerators, keyboard handling and command handlers.
#include <cstring>

#include "core/file_system.h"
#include "core/text.h"
#include "monitor/figure_texts.h"
#include "monitor/table_text.h"
#include "monitor/win32/error_box.h"
#include "monitor/win32/main_commands.h"
#include "monitor/win32/main_window.h"
#include "windows/artwork.h"
#include "windows/clipboard.h"
#include "windows/folder_picker.h"
#include "windows/home_page.h"
#include "windows/layout_table.h"

namespace velmora {

namespace {

constexpr char kPickerTitle[] = "Select the SETI working folder";
constexpr char kCopyBusyText[] = " Not copied: another program holds the clipboard";
constexpr char kCopyFailedText[] = " Not copied: the clipboard refused the table";
// The toolbar's image size: a menu item shows its command's toolbar picture.
constexpr int kMenuImageSize = 16;

}  // namespace

void TfrmMain::BuildMenu() {
  menu_ = win::MenuHandle(::CreateMenu());
  for (const MainMenuTitle& title : MainMenuTitles()) {
    HMENU popup = ::CreatePopupMenu();
    bool pendingSeparator = false;
    for (const MainCommand& command : MainCommands()) {
      if (command.category != title.category)
        continue;
      if (command.separatorBefore)
        pendingSeparator = true;
      if (!command.inMenu)
        continue;
      if (pendingSeparator && ::GetMenuItemCount(popup) > 0)
        ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
      pendingSeparator = false;
      ::AppendMenuA(popup, MF_STRING, command.id,
                    win::MenuItemText(command.caption, command.shortcut).c_str());
    }
    // The menu bar owns its pop-ups from here on and destroys them with itself.
    ::AppendMenuA(menu_.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), title.title);
  }
  SetMenuImages();
}

void TfrmMain::SetMenuImages() {
  // The items take the new pictures before the old ones are deleted.
  std::vector<win::BitmapHandle> images;
  const int size = win::ScaleToDpi(kMenuImageSize, dpi_);
  for (const MainCommand& command : MainCommands()) {
    if (!command.inMenu || command.image == kNoImage)
      continue;
    win::BitmapHandle image = win::MakeButtonBitmap(command.image, size);
    MENUITEMINFOA item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = image.Get();
    ::SetMenuItemInfoA(menu_.Get(), command.id, FALSE, &item);
    images.push_back(std::move(image));
  }
  menuImages_ = std::move(images);
}

void TfrmMain::BuildAccelerators() {
  std::vector<ACCEL> entries;
  for (const MainCommand& command : MainCommands()) {
    if (command.shortcut.IsSet())
      entries.push_back(win::MakeAccel(command.shortcut, command.id));
  }
  accelerators_ = win::MakeAcceleratorTable(entries);
}

bool TfrmMain::ExecuteCommand(UINT id) {
  const MainCommand* command = FindMainCommand(static_cast<WORD>(id));
  if (!command)
    return false;
  (this->*command->handler)();
  return true;
}

bool TfrmMain::PreTranslateMessage(MSG& message) {
  HWND hwnd = Hwnd();
  if (historyWindow_ && historyWindow_->PreTranslateMessage(message))
    return true;
  if (!hwnd || (message.hwnd != hwnd && !::IsChild(hwnd, message.hwnd)))
    return false;
  if (accelerators_ && ::TranslateAcceleratorA(hwnd, accelerators_.Get(), &message))
    return true;
  return HandleTabKey(message);
}

// Tab and Shift+Tab walk the toolbar's controls and the table, as a dialog would; the
// window is not a dialog, so IsDialogMessage is not used.
bool TfrmMain::HandleTabKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB)
    return false;
  if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
    return false;
  std::vector<HWND> order;
  for (HWND control : {ctl_.fldPollItv.Hwnd(), ctl_.chkActive.Hwnd(), ctl_.lvMain.Hwnd()}) {
    if (::IsWindowVisible(control) && ::IsWindowEnabled(control))
      order.push_back(control);
  }
  if (order.empty())
    return false;
  HWND focus = ::GetFocus();
  std::size_t current = order.size();
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == focus || ::IsChild(order[i], focus))
      current = i;
  }
  const bool backwards = ::GetKeyState(VK_SHIFT) < 0;
  std::size_t next = 0;
  if (current == order.size()) {
    next = backwards ? order.size() - 1 : 0;
  } else {
    next = backwards ? (current + order.size() - 1) % order.size() : (current + 1) % order.size();
  }
  ::SetFocus(order[next]);
  if (order[next] == ctl_.fldPollItv)
    ctl_.fldPollItv.SelectAll();
  // As in a dialog: once the keyboard moves the focus, the focused control shows its focus
  // rectangle (the window's whole tree takes the new state from DefWindowProc).
  ::SendMessageA(Hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  return true;
}

bool TfrmMain::FillToolTip(NMHDR* header) {
  const MainCommand* command = FindMainCommand(static_cast<WORD>(header->idFrom));
  if (!command)
    return false;
  const std::string hint = win::HintText(command->caption);
  if (header->code == TTN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    info->hinst = nullptr;
    std::strncpy(info->szText, hint.c_str(), sizeof(info->szText) - 1);
    info->szText[sizeof(info->szText) - 1] = '\0';
    info->lpszText = info->szText;
    return true;
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    info->hinst = nullptr;
    const int written = ::MultiByteToWideChar(CP_ACP, 0, hint.c_str(), -1, info->szText,
                                              static_cast<int>(std::size(info->szText)));
    if (written == 0)
      info->szText[0] = L'\0';
    info->lpszText = info->szText;
    return true;
  }
  return false;
}

void TfrmMain::acExitExecute() {
  ::DestroyWindow(Hwnd());
}

void TfrmMain::acViewToolbarExecute() {
  SetBarVisible(Bar::kToolbar, !BarVisible(Bar::kToolbar));
  SyncViewMenu();
}

void TfrmMain::acViewStatsExecute() {
  SetBarVisible(Bar::kStatsPanel, !BarVisible(Bar::kStatsPanel));
  SyncViewMenu();
}

void TfrmMain::acViewSttBarExecute() {
  SetBarVisible(Bar::kStatusBar, !BarVisible(Bar::kStatusBar));
  SyncViewMenu();
}

void TfrmMain::acViewAllExecute() {
  for (Bar bar : {Bar::kToolbar, Bar::kStatsPanel, Bar::kStatusBar})
    SetBarVisible(bar, true);
  SyncViewMenu();
}

void TfrmMain::acViewNoneExecute() {
  for (Bar bar : {Bar::kToolbar, Bar::kStatsPanel, Bar::kStatusBar})
    SetBarVisible(bar, false);
  SyncViewMenu();
}

void TfrmMain::SyncViewMenu() {
  const std::pair<WORD, Bar> items[] = {
      {kCmdViewToolbar, Bar::kToolbar}, {kCmdViewStats, Bar::kStatsPanel}, {kCmdViewSttBar, Bar::kStatusBar}};
  for (const auto& [id, bar] : items) {
    ::CheckMenuItem(menu_.Get(), id, MF_BYCOMMAND | (BarVisible(bar) ? MF_CHECKED : MF_UNCHECKED));
  }
  const std::pair<WORD, bool> switches[] = {
      {kCmdViewTrayIcon, alertOptions_.trayIcon},      {kCmdAlertStalls, alertOptions_.alertStalls},
      {kCmdAlertResults, alertOptions_.alertResults},  {kCmdViewStateColumn, optionalColumns_.state},
      {kCmdViewFinishColumn, optionalColumns_.finish}, {kCmdViewDoneColumn, optionalColumns_.done}};
  for (const auto& [id, on] : switches)
    ::CheckMenuItem(menu_.Get(), id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void TfrmMain::acViewStateColumnExecute() {
  OptionalColumns columns = optionalColumns_;
  columns.state = !columns.state;
  SetOptionalColumns(columns);
  SyncViewMenu();
}

void TfrmMain::acViewFinishColumnExecute() {
  OptionalColumns columns = optionalColumns_;
  columns.finish = !columns.finish;
  SetOptionalColumns(columns);
  SyncViewMenu();
}

void TfrmMain::acViewDoneColumnExecute() {
  OptionalColumns columns = optionalColumns_;
  columns.done = !columns.done;
  SetOptionalColumns(columns);
  SyncViewMenu();
}

void TfrmMain::acCopyTableExecute() {
  // A copy that did not happen must not look as if it had: the user would paste the old text.
  switch (win::CopyTextToClipboard(Hwnd(), TableText(table_, optionalColumns_))) {
    case win::CopyOutcome::kCopied:
      break;
    case win::CopyOutcome::kClipboardBusy:
      WriteStatusPanel(3, kCopyBusyText);
      break;
    case win::CopyOutcome::kFailed:
      WriteStatusPanel(3, kCopyFailedText);
      break;
  }
}

void TfrmMain::acAddLocationExecute() {
  // The picker belongs to the application window, so that it disables this window too.
  HWND owner = services_.owner ? services_.owner : Hwnd();
  std::string path;
  if (!win::BrowseForFolder(owner, kPickerTitle, SelectedPath().value_or(""), L"", false, path))
    return;
  const std::optional<std::size_t> index = InsertLocation(path, true);
  if (index)
    ctl_.lvMain.EnsureVisible(static_cast<int>(*index));
}

void TfrmMain::acRemoveLocationExecute() {
  const int selected = ctl_.lvMain.SelectedIndex();
  if (::GetFocus() == ctl_.lvMain && selected >= 0) {
    DeleteLocation(static_cast<std::size_t>(selected));
    return;
  }
  ::MessageBoxA(Hwnd(), kNoLocationMarked, kAppTitle, MB_OK);
}

void TfrmMain::acRefreshExecute() {
  RefreshLocations();
}

void TfrmMain::acMoreInfoExecute() {
  if (onMoreInfo)
    onMoreInfo();
}

void TfrmMain::acHelpExecute() {
  // The program's own folder, not a client's: asked here, on the window's thread.
  const std::string localPage = JoinPath(appDir_, win::kHomePageFile);
  // Without a page of its own the program opens the one the about window names for Europe.
  services_.shell.Open(Hwnd(), services_.fs->FileExists(localPage)
                                   ? localPage
                                   : std::string(win::kHomePageEurope) + win::kHomePageFile);
}

void TfrmMain::acAboutExecute() {
  if (onAbout)
    onAbout();
}

}  // namespace velmora
