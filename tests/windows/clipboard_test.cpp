// The copy through a clipboard that plays another program holding it for a while.
#include "windows/clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
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
    std::string data(bytes, ::GlobalSize(memory));
    ::GlobalUnlock(memory);
    data.resize(format == CF_UNICODETEXT ? std::wcslen(reinterpret_cast<const wchar_t*>(data.data())) * 2
                                         : std::strlen(data.c_str()));
    formats.emplace_back(format, std::move(data));
    return true;
  }
  void Close() override {}
  void Wait(DWORD milliseconds) override { waited += milliseconds; }

  std::vector<std::pair<UINT, std::string>> formats;  // as set, each without its closing NUL
  DWORD waited = 0;

 private:
  int busyOpens_;
};

TEST(CopyTextToClipboard, WaitsAboutASecondForTheClipboardAndPutsBothFormats) {
  const std::string text = "On\tLocation\r\n1\tC:\\SETI\r\n";
  const std::wstring wide = L"On\tLocation\r\n1\tC:\\SETI\r\n";
  const std::string wideBytes(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  const std::vector<std::pair<UINT, std::string>> both = {{CF_UNICODETEXT, wideBytes}, {CF_TEXT, text}};
  // Opens refused before one succeeds; what the copy says, how long it waited and what it set.
  const struct {
    int busyOpens;
    CopyOutcome outcome;
    DWORD waited;
    std::vector<std::pair<UINT, std::string>> formats;
  } rows[] = {
      {0, CopyOutcome::kCopied, 0, both},
      {2, CopyOutcome::kCopied, 2 * kClipboardRetryMilliseconds, both},
      {kClipboardOpenTries - 1, CopyOutcome::kCopied, 950, both},
      {kClipboardOpenTries, CopyOutcome::kClipboardBusy, 950, {}},
  };
  for (const auto& row : rows) {
    BusyClipboard clipboard(row.busyOpens);
    EXPECT_EQ(CopyTextToClipboard(nullptr, text, clipboard), row.outcome) << row.busyOpens;
    EXPECT_EQ(clipboard.waited, row.waited) << row.busyOpens;
    EXPECT_EQ(clipboard.formats, row.formats) << row.busyOpens;
  }
}

}  // namespace
}  // namespace velmora::win
