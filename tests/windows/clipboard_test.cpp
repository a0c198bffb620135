// The copy through a clipboard that plays another program holding it for a while.
#include "windows/clipboard.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "windows/handles.h"

namespace velmora::win {
namespace {

class BusyClipboard final : public ClipboardCalls {
 public:
  explicit BusyClipboard(int busyOpens) : busyOpens_(busyOpens) {}
  bool Open(HWND) override { return busyOpens_-- <= 0; }
  bool Empty() override { return true; }
  bool Set(UINT format, HGLOBAL memory) override {
    const GlobalHandle owned(memory);
    const auto* bytes = static_cast<const char*>(::GlobalLock(memory));
    formats.emplace_back(format,
                         format == CF_TEXT
                             ? std::string(bytes)
                             : std::string(bytes, 2 * std::wcslen(reinterpret_cast<const wchar_t*>(bytes))));
    ::GlobalUnlock(memory);
    return true;
  }
  void Close() override {}
  void Wait(DWORD milliseconds) override { waited += milliseconds; }

  std::vector<std::pair<UINT, std::string>> formats;  // each without its closing NUL
  DWORD waited = 0;

 private:
  int busyOpens_;
};

TEST(CopyTextToClipboard, WaitsAboutASecondForTheClipboardAndPutsBothFormats) {
  const std::vector<std::pair<UINT, std::string>> both = {
      {CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(L"On\tC:\\SETI\r\n"), 24)},
      {CF_TEXT, "On\tC:\\SETI\r\n"}};
  // Opens refused before one succeeds; what the copy says, how long it waited and what it set.
  const std::tuple<int, CopyOutcome, DWORD, std::vector<std::pair<UINT, std::string>>> rows[] = {
      {0, CopyOutcome::kCopied, 0, both},
      {2, CopyOutcome::kCopied, 2 * kClipboardRetryMilliseconds, both},
      {kClipboardOpenTries - 1, CopyOutcome::kCopied, 950, both},
      {kClipboardOpenTries, CopyOutcome::kClipboardBusy, 950, {}},
  };
  for (const auto& [busyOpens, outcome, waited, formats] : rows) {
    BusyClipboard clipboard(busyOpens);
    EXPECT_EQ(CopyTextToClipboard(nullptr, "On\tC:\\SETI\r\n", clipboard), outcome) << busyOpens;
    EXPECT_EQ(std::pair(clipboard.waited, clipboard.formats), std::pair(waited, formats)) << busyOpens;
  }
}

}  // namespace
}  // namespace velmora::win
