// The application manifest Velmora.exe embeds: what the system reads from it decides the
// controls' version and how the window meets screens of more dots per inch.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/win32/executable_folder.h"
#include "windows/handles.h"

namespace velmora::win {
namespace {

#ifdef VELMORA_EXE_FROM_TESTS
std::string EmbeddedManifest(const std::string& program) {
  const ModuleHandle module(
      ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module)
    return {};
  HRSRC found = ::FindResourceA(module.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  HGLOBAL loaded = found ? ::LoadResource(module.Get(), found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes)
    return {};
  return std::string(static_cast<const char*>(bytes), ::SizeofResource(module.Get(), found));
}

std::string ProgramPath() {
  return testing::ExecutableFolder() + VELMORA_EXE_FROM_TESTS;
}

TEST(ApplicationManifest, AsksForCommonControlsSixPerMonitorAwarenessAndUtf8) {
  const std::string manifest = EmbeddedManifest(ProgramPath());
  ASSERT_FALSE(manifest.empty()) << "no manifest in " << ProgramPath();
  const char* expected[] = {
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
      "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
      "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
      "PerMonitor</dpiAwareness>",
      "<activeCodePage "
      "xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>",
      "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
  };
  for (const char* fragment : expected)
    EXPECT_NE(manifest.find(fragment), std::string::npos) << fragment;
}
#endif

}  // namespace
}  // namespace velmora::win
