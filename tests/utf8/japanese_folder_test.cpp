// The monitor window under the code page its manifest names, UTF-8, as the program runs, over a
// client folder named in Japanese and stored by an earlier run.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/file_system.h"
#include "monitor/settings.h"
#include "monitor/win32/details_window.h"
#include "monitor/win32/main_window.h"
#include "monitor/win32/registry_store.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/registry_sandbox.h"
#include "tests/support/win32/status_reader.h"
#include "tests/support/win32/table_reader.h"
#include "windows/handles.h"

namespace velmora::testing {
namespace {

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0)),
                    L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.pop_back();
  return wide;
}

// Written through the UTF-16 calls, so that the name on disk does not depend on the program's.
void WriteWideFile(const std::wstring& path, const std::string& contents) {
  const win::FileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ASSERT_TRUE(
      ::WriteFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr));
}

std::wstring ClipboardUnicode() {
  std::wstring text;
  if (!::OpenClipboard(nullptr))
    return L"(clipboard not opened)";
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = chars;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

std::wstring StoredWide(const RegistrySandbox& sandbox, const std::string& section, const std::string& key) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  const std::wstring subkey = Wide(sandbox.Path() + "\\" + section);
  ::RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), Wide(key).c_str(), RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

TEST(JapaneseFolderName, IsReadShownCopiedAndStoredWhole) {
  ASSERT_EQ(::GetACP(), static_cast<UINT>(CP_UTF8));
  const TempFolder clients;
  // "表示-cruncher": 表 ends in 0x5C in code page 932.
  const std::string folder = clients.ProgramPath("\xE8\xA1\xA8\xE7\xA4\xBA-cruncher");
  ASSERT_TRUE(::CreateDirectoryW(Wide(folder).c_str(), nullptr));
  WriteWideFile(Wide(folder + "\\state.sah"), "prog=0.25\ncpu=3600\n");
  WriteWideFile(Wide(folder + "\\work_unit.sah"), "unit");
  WriteWideFile(Wide(folder + "\\user_info.sah"), "nresults=3\n");
  const std::string location = folder + "\\";

  // As an earlier run left it: the registry holds its texts as UTF-16.
  const RegistrySandbox sandbox;
  win::RegistryStore store(HKEY_CURRENT_USER, sandbox.Path().c_str());
  const std::wstring entry = Wide(location + ",1");
  const win::KeyHandle locations = [&] {
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(sandbox.Path() + "\\Locations").c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return win::KeyHandle(key);
  }();
  ASSERT_TRUE(locations);
  ::RegSetValueExW(locations.Get(), L"Count", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"),
                   2 * sizeof(wchar_t));
  ::RegSetValueExW(locations.Get(), Wide(LocationKey(0)).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(entry.c_str()),
                   static_cast<DWORD>((entry.size() + 1) * sizeof(wchar_t)));

  const TempFolder appFolder;
  RecordingShellOpener shell;
  RecordingTrayShell tray;
  auto window = std::make_unique<TfrmMain>(MainWindowServices{
      MakePlatformFileSystem(), store, shell, nullptr, appFolder.ProgramPath() + "\\", {}, &tray});
  ASSERT_TRUE(window->Create());
  ASSERT_TRUE(WaitForReads(*window));
  const MainControls& c = window->Controls();
  EXPECT_EQ(RowTexts(c.lvMain, 0),
            (std::vector<std::string>{location, "25.00", "+", "+", "-", ItemText(c.lvMain, 0, 5)}));
  SelectRow(c.lvMain, 0);
  window->ShowSelectedStats();
  ASSERT_TRUE(WaitForReads(*window));
  EXPECT_EQ(StatusText(c.sttBar, 3), " " + location);
  EXPECT_EQ(win::WindowText(c.lblUserTotUnits), "3");
  TfrmDetails details(nullptr, [&window] { window->RequestDetailsFigures(); });
  window->onDetailsFigures = [&details](const SelectedFigures& figures) { details.ShowFigures(figures); };
  details.ShowDetails();
  ASSERT_TRUE(WaitForReads(*window));
  EXPECT_EQ(StatusText(::GetDlgItem(details.Hwnd(), kDetailsSttBar), 0), location);

  window->acCopyTableExecute();
  EXPECT_NE(ClipboardUnicode().find(L"\t" + Wide(location) + L"\t25.00\t"), std::wstring::npos);

  window.reset();  // saves
  EXPECT_EQ(StoredWide(sandbox, "Locations", LocationKey(0)), entry);
}

}  // namespace
}  // namespace velmora::testing
