// The monitor window under the code page its manifest names, UTF-8, as the program runs, over a
// client folder named in Japanese and stored by an earlier run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/file_system.h"
#include "monitor/settings.h"
#include "monitor/win32/details_window.h"
#include "monitor/win32/registry_store.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/registry_sandbox.h"
#include "tests/support/win32/status_reader.h"
#include "tests/support/win32/table_reader.h"

namespace velmora::testing {
namespace {

std::wstring ClipboardUnicode() {
  std::wstring text;
  if (::OpenClipboard(nullptr)) {
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = chars;
      ::GlobalUnlock(data);
    }
    ::CloseClipboard();
  }
  return text;
}

TEST(JapaneseFolderName, IsReadShownCopiedAndStoredWhole) {
  ASSERT_EQ(::GetACP(), static_cast<UINT>(CP_UTF8));
  const TempFolder clients, appFolder;
  // "表示-cruncher", through the ANSI calls: 表 ends in 0x5C in code page 932.
  const std::string folder = clients.ProgramPath("\xE8\xA1\xA8\xE7\xA4\xBA-cruncher"),
                    location = folder + "\\";
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_NE(::GetFileAttributesW((clients.Path().wstring() + L"\\\u8868\u793a-cruncher").c_str()),
            INVALID_FILE_ATTRIBUTES);
  for (const auto& [name, text] : {std::pair{"state.sah", "prog=0.25\n"},
                                   {"work_unit.sah", "unit"},
                                   {"user_info.sah", "nresults=3\n"}}) {
    const win::FileHandle file(
        ::CreateFileA((location + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr));
  }
  const RegistrySandbox sandbox;
  sandbox.PutText("Locations", "Count", "1");
  sandbox.PutText("Locations", LocationKey(0), location + ",1");  // kept as UTF-16 by the registry
  win::RegistryStore store(HKEY_CURRENT_USER, sandbox.Path().c_str());

  RecordingShellOpener shell;
  RecordingTrayShell tray;
  auto window = std::make_unique<TfrmMain>(MainWindowServices{
      MakePlatformFileSystem(), store, shell, nullptr, appFolder.ProgramPath() + "\\", {}, &tray});
  ASSERT_TRUE(window->Create());
  ASSERT_TRUE(WaitForReads(*window));
  const MainControls& c = window->Controls();
  EXPECT_EQ(RowTexts(c.lvMain, 0, 3), (std::vector<std::string>{location, "25.00", "+"}));
  SelectRow(c.lvMain, 0);
  window->ShowSelectedStats();
  TfrmDetails details(nullptr, [&window] { window->RequestDetailsFigures(); });
  window->onDetailsFigures = [&details](const SelectedFigures& figures) { details.ShowFigures(figures); };
  details.ShowDetails();
  ASSERT_TRUE(WaitForReads(*window));
  EXPECT_EQ(std::tuple(StatusText(c.sttBar, 3), win::WindowText(c.lblUserTotUnits),
                       StatusText(::GetDlgItem(details.Hwnd(), kDetailsSttBar), 0)),
            std::tuple(" " + location, "3", location));

  window->acCopyTableExecute();
  EXPECT_NE(ClipboardUnicode().find(L"\u8868\u793a-cruncher\\\t25.00\t"), std::wstring::npos);
  window.reset();  // saves
  EXPECT_EQ(sandbox.Text("Locations", LocationKey(0)), location + ",1");
}

}  // namespace
}  // namespace velmora::testing
