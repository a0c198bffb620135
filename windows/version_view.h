// The version label: a label whose text is a field of the running executable's own version
// resource (the file version, or one of the standard version strings), looked up again each
// time the label is drawn or its text is asked for.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "windows/handles.h"

namespace velmora::win {

// Which field a version label shows. The order is fixed (ordinals 0 to 9).
enum class TInfoCategory {
  icVersion,
  icCompanyName,
  icFileDescription,
  icInternalName,
  icLegalCopyright,
  icLegalTrademarks,
  icOriginalFilename,
  icProductName,
  icComments,
  icShortVsn,  // no text of its own: the label keeps the text it computed last
};

inline constexpr const char* kUnknownVersionText = "Unknown";

// One executable's version block as GetFileVersionInfoA returns it.
class VersionBlock {
 public:
  // Not loaded: every lookup gives "Unknown".
  VersionBlock() = default;
  // Reads the block of the executable at `path`; without a version resource (or when the read
  // fails) the block stays not loaded.
  explicit VersionBlock(const std::string& path);

  bool Loaded() const { return loaded_; }
  std::size_t Size() const { return data_.size(); }

  // Computes the text of `category` into `lastText` and returns it. icShortVsn leaves
  // `lastText` as it is. Every failed lookup gives "Unknown".
  std::string Text(TInfoCategory category, bool shortVsn, std::string& lastText) const;

 private:
  std::string VersionText(bool shortVsn) const;
  std::string StringText(const char* key) const;
  std::string TranslationDigits() const;

  // VerQueryValueA writes the ANSI copies of the strings it returns into the spare second half
  // of the block, so even a lookup changes the bytes.
  mutable std::vector<unsigned char> data_;
  bool loaded_ = false;
};

// Reads the running executable's block into the process-wide copy. Called once at program
// start, before any window is created; a later call reads the file again.
void LoadVersionBlock();
// The same with the block of the executable at `path`: the labels then show that program's
// fields (the tests' way to show a sample program's version in a window).
void LoadVersionBlockOf(const std::string& path);
// The process-wide copy (not loaded until LoadVersionBlock has run).
const VersionBlock& ProcessVersionBlock();

// A plain left-aligned label control that draws DisplayText() instead of its caption and takes
// the size of that text, like an auto-sized label.
class TVersionView {
 public:
  TVersionView() = default;
  ~TVersionView();
  TVersionView(const TVersionView&) = delete;
  TVersionView& operator=(const TVersionView&) = delete;

  // Plain stored values: changing them repaints nothing; the next paint or text request uses
  // them.
  TInfoCategory InfoCategory = TInfoCategory::icVersion;
  bool ShortVsn = false;

  // Creates the label as a child of `parent` with its top-left corner at (x, y); the parent's
  // WM_CTLCOLORSTATIC colours it and WM_SETFONT sets its font, as for any static control.
  bool Create(HWND parent, int x, int y, bool visible, int controlId = 0);
  // Recomputes the text from the process-wide block, keeps it as the last text and sizes the
  // label to it in the label's font.
  std::string DisplayText();
  HWND Hwnd() const { return window_.Get(); }

 private:
  static LRESULT CALLBACK
  LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  void Paint();
  // The text DisplayText would give, without keeping it as the last text: sizing the label at
  // creation or for a new font is no request for its text.
  std::string PeekText() const;
  void FitToText(const std::string& text);

  WindowHandle window_;
  std::string lastText_;
};

}  // namespace velmora::win
