// The version label against small programs built with known version resources (see
// version_samples/), against this test program's own resource (test_program.rc: file version
// 4.3.2.1, product name "Velmora tests") and against Velmora.exe.
#include "windows/version_view.h"

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/executable_folder.h"
#include "tests/support/win32/stand_in_window.h"

namespace velmora::win {
namespace {

using C = TInfoCategory;

std::string SamplePath(const std::string& sample) {
  return testing::ExecutableFolder() + "version_sample_" + sample + ".exe";
}

std::string TextOf(const VersionBlock& block, TInfoCategory category, bool shortVsn = false) {
  std::string last;
  return block.Text(category, shortVsn, last);
}

using Texts = std::vector<std::string>;

Texts TextsOf(const VersionBlock& block, std::initializer_list<TInfoCategory> categories) {
  Texts texts;
  for (const TInfoCategory category : categories)
    texts.push_back(TextOf(block, category));
  return texts;
}

TEST(VersionBlockSample, ShowsTheFieldOfTheSample) {
  const struct {
    const char* sample;
    TInfoCategory category;
    bool shortVsn;
    const char* expected;
  } rows[] = {
      // The file version, never the product version (9.8.7.6 in that sample).
      {"long_short", C::icVersion, false, "1.10.0.12"},
      {"long_short", C::icVersion, true, "1.10"},
      {"plain_parts", C::icVersion, false, "2.0.3.4"},
      {"plain_parts", C::icVersion, true, "2.0"},
      {"largest_parts", C::icVersion, false, "65535.65535.65535.65535"},
      {"largest_parts", C::icVersion, true, "65535.65535"},
      // ShortVsn matters only for the version.
      {"long_short", C::icProductName, true, "Sample Product"},
      {"long_short", C::icCompanyName, false, "Sample Company"},
      {"long_short", C::icFileDescription, false, "Sample description"},
      {"long_short", C::icInternalName, false, "long_short"},
      {"long_short", C::icLegalCopyright, false, "Copyright sample"},
      {"long_short", C::icLegalTrademarks, false, "No marks"},
      {"long_short", C::icOriginalFilename, false, "version_sample_long_short.exe"},
      {"long_short", C::icProductName, false, "Sample Product"},
      // One character: only the terminating zero is cut.
      {"long_short", C::icComments, false, "A"},
      // A table named with letters among its hex digits (0C0A04B0).
      {"largest_parts", C::icProductName, false, "Largest"},
      {"largest_parts", C::icComments, false, ""},
      {"largest_parts", C::icCompanyName, false, "Unknown"},
      // A translation but no string table at all.
      {"plain_parts", C::icProductName, false, "Unknown"},
      // The first translation is 040904E4; the German table of the second is not used.
      {"other_language", C::icProductName, false, "Unknown"},
      {"other_language", C::icCompanyName, false, "Unknown"},
      {"other_language", C::icVersion, false, "3.1.0.0"},
      // A block that a 16-bit size would cut: the value after the long one is still found.
      {"large_block", C::icProductName, false, "After the long one"},
      {"large_block", C::icVersion, false, "7.0.0.1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.sample) + " category " + std::to_string(static_cast<int>(row.category)) +
                 (row.shortVsn ? " short" : ""));
    const VersionBlock block(SamplePath(row.sample));
    ASSERT_TRUE(block.Loaded()) << SamplePath(row.sample);
    std::string last = "before";
    EXPECT_EQ(block.Text(row.category, row.shortVsn, last), row.expected);
    EXPECT_EQ(last, row.expected);
  }
}

TEST(VersionBlock, LargeBlockIsHeldWhole) {
  const VersionBlock block(SamplePath("large_block"));
  ASSERT_TRUE(block.Loaded());
  EXPECT_GT(block.Size(), 65535u);
  std::string expected;
  while (expected.size() < VELMORA_LONG_COMMENT_LENGTH)
    expected += "0123456789";
  EXPECT_EQ(TextOf(block, C::icComments), expected);
}

TEST(VersionBlock, ProgramWithoutResourceOrFileShowsUnknownInEveryCategory) {
  for (const std::string& program :
       {SamplePath("none"), testing::ExecutableFolder() + "no_such_program.exe"}) {
    SCOPED_TRACE(program);
    const VersionBlock block(program);
    EXPECT_FALSE(block.Loaded());
    // Every category but the last, icShortVsn, which has no text of its own.
    for (int index = 0; index < static_cast<int>(C::icShortVsn); ++index) {
      const auto category = static_cast<TInfoCategory>(index);
      for (bool shortVsn : {false, true}) {
        std::string last = "before";
        EXPECT_EQ(block.Text(category, shortVsn, last), "Unknown") << static_cast<int>(category);
        EXPECT_EQ(last, "Unknown");
      }
    }
  }
}

TEST(VersionBlock, ShortVsnCategoryKeepsTheLastText) {
  const VersionBlock block(SamplePath("long_short"));
  ASSERT_TRUE(block.Loaded());
  std::string last;
  EXPECT_EQ(block.Text(C::icShortVsn, false, last), "");
  EXPECT_EQ(block.Text(C::icProductName, false, last), "Sample Product");
  EXPECT_EQ(block.Text(C::icShortVsn, true, last), "Sample Product");
  EXPECT_EQ(last, "Sample Product");
  EXPECT_EQ(block.Text(C::icVersion, true, last), "1.10");
  EXPECT_EQ(block.Text(C::icShortVsn, false, last), "1.10");
}

TEST(VersionBlock, LookupsRepeatWithTheSameResult) {
  // VerQueryValueA writes its ANSI copies into the block: asking twice must not disturb it.
  const VersionBlock block(SamplePath("long_short"));
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(TextsOf(block, {C::icProductName, C::icCompanyName, C::icVersion}),
              (Texts{"Sample Product", "Sample Company", "1.10.0.12"}));
  }
}

TEST(InfoCategory, KeepsTheOrderOfItsValues) {
  EXPECT_EQ((std::vector<C>{C::icVersion, C::icCompanyName, C::icProductName, C::icComments, C::icShortVsn}),
            (std::vector<C>{C{0}, C{1}, C{7}, C{8}, C{9}}));
}

#ifdef VELMORA_EXE_FROM_TESTS
TEST(VersionBlock, VelmoraExecutableCarriesItsVersion) {
  const VersionBlock block(testing::ExecutableFolder() + VELMORA_EXE_FROM_TESTS);
  ASSERT_TRUE(block.Loaded()) << "Velmora.exe has no version resource";
  EXPECT_EQ(TextsOf(block, {C::icVersion, C::icCompanyName, C::icProductName, C::icOriginalFilename}),
            (Texts{VELMORA_FILE_VERSION, "Tarnek", "Velmora", "Velmora.exe"}));
  const std::string longText = VELMORA_FILE_VERSION;
  EXPECT_EQ(TextOf(block, C::icVersion, true),
            longText.substr(0, longText.find('.', longText.find('.') + 1)));
  for (const C category : {C::icFileDescription, C::icLegalCopyright, C::icInternalName})
    EXPECT_NE(TextOf(block, category), "Unknown") << static_cast<int>(category);
}
#endif

// The label itself, drawing from the process-wide block of this test program.
class VersionViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadVersionBlock();
    parent_ = testing::StandInWindow("", WS_POPUP | WS_VISIBLE, {200, 60});
    ASSERT_TRUE(parent_);
  }

  // What a request for the control's text gives (WM_GETTEXT, as any reader of the label does).
  static std::string ControlText(HWND control) {
    char buffer[256] = {};
    const int length = ::GetWindowTextA(control, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
  }

  static bool RepaintPending(HWND control) { return ::GetUpdateRect(control, nullptr, FALSE) != FALSE; }

  // Width and height.
  static std::pair<LONG, LONG> ClientSize(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    return {client.right, client.bottom};
  }

  WindowHandle parent_;
  TVersionView label_;
};

// What velmora_text_reader.exe, another process, read from `window`, one line each: length and
// text asked for with SendMessageW, then with SendMessageA. The messages it sends reach the window
// only while this thread looks at its queue, so they are delivered meanwhile.
std::string ReadFromAnotherProcess(HWND window) {
  std::string reading;
  const velmora::testing::TempFolder folder;
  const std::string output = folder.ProgramPath("reading.txt");
  std::string commandLine = "\"" + testing::ExecutableFolder() + "velmora_text_reader.exe\" " +
                            std::to_string(reinterpret_cast<INT_PTR>(window)) + " \"" + output + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    ADD_FAILURE() << "cannot start " << commandLine;
    return reading;
  }
  const FileHandle processHandle(process.hProcess);
  const FileHandle threadHandle(process.hThread);
  // A safety net for a reader that hangs, not a measure of speed.
  const ULONGLONG deadline = ::GetTickCount64() + 60000;
  while (::MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      ::DispatchMessageA(&message);
    if (::GetTickCount64() > deadline) {
      ::TerminateProcess(process.hProcess, 1);
      ADD_FAILURE() << "the reader did not end";
      return reading;
    }
  }
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u) << "the window did not answer the reader";
  std::ifstream in(folder.Path() / "reading.txt", std::ios::binary);
  return reading.assign(std::istreambuf_iterator<char>(in), {});
}

TEST_F(VersionViewTest, ProcessBlockIsTheTestProgramsOwn) {
  const VersionBlock& block = ProcessVersionBlock();
  ASSERT_TRUE(block.Loaded());
  EXPECT_EQ(TextsOf(block, {C::icVersion, C::icProductName}), (Texts{"4.3.2.1", "Velmora tests"}));
}

TEST_F(VersionViewTest, StartsAsLongFileVersion) {
  EXPECT_EQ(label_.InfoCategory, C::icVersion);
  EXPECT_FALSE(label_.ShortVsn);
  ASSERT_TRUE(label_.Create(parent_.Get(), 0, 0, true));
  EXPECT_EQ(label_.DisplayText(), "4.3.2.1");
  EXPECT_EQ(ControlText(label_.Hwnd()), "4.3.2.1");
  EXPECT_EQ(::GetWindowTextLengthA(label_.Hwnd()), 7);
}

TEST_F(VersionViewTest, PropertyChangeTakesEffectAtTheNextRequestOnly) {
  ASSERT_TRUE(label_.Create(parent_.Get(), 0, 0, true));
  ::UpdateWindow(label_.Hwnd());
  ASSERT_FALSE(RepaintPending(label_.Hwnd()));

  label_.InfoCategory = C::icProductName;
  EXPECT_FALSE(RepaintPending(label_.Hwnd()));  // setting it invalidated nothing
  EXPECT_EQ(ControlText(label_.Hwnd()), "Velmora tests");
  ::UpdateWindow(label_.Hwnd());  // the request resized the label to the longer text

  label_.InfoCategory = C::icVersion;
  label_.ShortVsn = true;
  EXPECT_FALSE(RepaintPending(label_.Hwnd()));
  EXPECT_EQ(ControlText(label_.Hwnd()), "4.3");

  label_.InfoCategory = C::icCompanyName;
  EXPECT_EQ(label_.DisplayText(), "Tarnek");
}

// A string the program lacks shows "Unknown".
TEST_F(VersionViewTest, ShortVsnLabelKeepsWhatItShowedLast) {
  ASSERT_TRUE(label_.Create(parent_.Get(), 0, 0, false));
  label_.InfoCategory = C::icShortVsn;
  EXPECT_EQ(label_.DisplayText(), "");
  label_.InfoCategory = C::icFileDescription;
  EXPECT_EQ(label_.DisplayText(), "Velmora test program");
  label_.InfoCategory = C::icShortVsn;
  EXPECT_EQ(ControlText(label_.Hwnd()), "Velmora test program");
  label_.InfoCategory = C::icLegalTrademarks;  // not in test_program.rc
  EXPECT_EQ(label_.DisplayText(), "Unknown");
}

// The two kinds of static control a label can be: the classic one of user32, an ANSI window
// in this ANSI program, and the visual-style one of comctl32 version 6 that Velmora.exe gets
// from its manifest, a Unicode window. The test program has no such manifest, so the second is
// created inside an activation context that asks for those common controls.
enum class StaticKind { kClassic, kVisualStyle };

class VisualStyleContext {
 public:
  explicit VisualStyleContext(const velmora::testing::TempFolder& folder) {
    folder.WriteFile("controls.manifest",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                     "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
                     "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
                     "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                     "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
                     "</dependentAssembly></dependency></assembly>\n");
    const std::string path = folder.ProgramPath("controls.manifest");
    ACTCTXA request{};
    request.cbSize = sizeof(request);
    request.lpSource = path.c_str();
    context_.Reset(::CreateActCtxA(&request));
    active_ = context_ && ::ActivateActCtx(context_.Get(), &cookie_);
  }
  ~VisualStyleContext() {
    if (active_)
      ::DeactivateActCtx(0, cookie_);
  }

  bool Active() const { return active_; }

 private:
  static void Release(HANDLE context) { ::ReleaseActCtx(context); }

  UniqueHandle<HANDLE, &Release, -1> context_;
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

class VersionViewFormTest : public VersionViewTest, public ::testing::WithParamInterface<StaticKind> {
 protected:
  // Creates the label as the kind of static control of this run and checks that it is one.
  void CreateLabel() {
    const velmora::testing::TempFolder folder;
    std::optional<VisualStyleContext> context;
    if (GetParam() == StaticKind::kVisualStyle) {
      ASSERT_TRUE(context.emplace(folder).Active());
    }
    ASSERT_TRUE(label_.Create(parent_.Get(), 0, 0, true));
    ASSERT_EQ(::IsWindowUnicode(label_.Hwnd()) != FALSE, GetParam() == StaticKind::kVisualStyle);
  }
};

// A screen reader asks from its own process, in either form; the answer must be the label's
// text both times, not its bytes taken as WCHARs or its WCHARs taken as bytes.
TEST_P(VersionViewFormTest, AnotherProcessReadsTheTextInBothForms) {
  CreateLabel();
  EXPECT_EQ(ReadFromAnotherProcess(label_.Hwnd()), "7\n4.3.2.1\n7\n4.3.2.1\n");
}

TEST_P(VersionViewFormTest, ShortBufferGetsAsMuchAsFitsInEitherForm) {
  CreateLabel();
  EXPECT_EQ(ControlText(label_.Hwnd()), "4.3.2.1");
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(::SendMessageA(label_.Hwnd(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_EQ(std::string(buffer), "4.3");
  wchar_t wide[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_EQ(::SendMessageW(label_.Hwnd(), WM_GETTEXT, std::size(wide), reinterpret_cast<LPARAM>(wide)), 3);
  EXPECT_EQ(std::wstring(wide), L"4.3");
  EXPECT_EQ(::SendMessageW(label_.Hwnd(), WM_GETTEXTLENGTH, 0, 0), 7);
  EXPECT_EQ(::SendMessageA(label_.Hwnd(), WM_GETTEXTLENGTH, 0, 0), 7);
}

INSTANTIATE_TEST_SUITE_P(Statics,
                         VersionViewFormTest,
                         ::testing::Values(StaticKind::kClassic, StaticKind::kVisualStyle),
                         [](const auto& row) {
                           return std::string(row.param == StaticKind::kClassic ? "Classic" : "VisualStyle");
                         });

// Sized by the text it computes, in its own font, as an auto-sized label: a longer text or a
// larger font makes it larger at the next request for its text.
TEST_F(VersionViewTest, TakesTheSizeOfItsText) {
  const auto sansSerif = [](int height) {
    return FontHandle(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, "Microsoft Sans Serif"));
  };
  const FontHandle small = sansSerif(-11);
  const FontHandle large = sansSerif(-22);
  ASSERT_TRUE(label_.Create(parent_.Get(), 3, 5, true));
  ::SendMessageA(label_.Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(small.Get()), FALSE);
  const SIZE version = testing::TextExtent(small.Get(), "4.3.2.1");
  EXPECT_EQ(ClientSize(label_.Hwnd()), std::pair(version.cx, version.cy));

  label_.InfoCategory = C::icFileDescription;
  EXPECT_EQ(ControlText(label_.Hwnd()), "Velmora test program");
  EXPECT_EQ(ClientSize(label_.Hwnd()).first, testing::TextExtent(small.Get(), "Velmora test program").cx);

  ::SendMessageA(label_.Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(large.Get()), FALSE);
  const SIZE larger = testing::TextExtent(large.Get(), "Velmora test program");
  EXPECT_EQ(ClientSize(label_.Hwnd()), std::pair(larger.cx, larger.cy));

  const RECT place = testing::RectInParent(label_.Hwnd());
  EXPECT_EQ(std::pair(place.left, place.top), std::pair(3L, 5L));  // it grows to the right and down only
}

TEST_F(VersionViewTest, PaintRecomputesTheText) {
  ASSERT_TRUE(label_.Create(parent_.Get(), 0, 0, true));
  label_.InfoCategory = C::icProductName;
  ::InvalidateRect(label_.Hwnd(), nullptr, TRUE);
  ::UpdateWindow(label_.Hwnd());
  EXPECT_FALSE(RepaintPending(label_.Hwnd()));
  label_.InfoCategory = C::icShortVsn;  // keeps what the paint computed
  EXPECT_EQ(label_.DisplayText(), "Velmora tests");
}

}  // namespace
}  // namespace velmora::win
