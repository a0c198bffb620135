// velmora-text-reader: reads a window's text from another process, as a screen reader does, in
// both forms a reader may ask in.
//
//   velmora-text-reader HWND OUTPUT_FILE
//
// HWND is the window's handle in decimal. OUTPUT_FILE receives four lines: the length and the
// text that WM_GETTEXTLENGTH and WM_GETTEXT give when sent with SendMessageW (the text written
// as UTF-8), then the same sent with SendMessageA (the text as the bytes received). Exit code 0
// when every message was answered.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT kAnswerTimeoutMs = 10000;
constexpr int kCapacity = 512;

bool Send(HWND window, bool wide, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  const auto send = wide ? &::SendMessageTimeoutW : &::SendMessageTimeoutA;
  const LRESULT sent = send(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer);
  result = static_cast<LRESULT>(answer);
  return sent != 0;
}

std::string Utf8(const wchar_t* text, int length) {
  if (length <= 0)
    return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmora-text-reader HWND OUTPUT_FILE\n");
    return 2;
  }
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(argv[1], nullptr, 10)));
  if (!::IsWindow(window)) {
    std::fprintf(stderr, "no window %s\n", argv[1]);
    return 1;
  }

  LRESULT copied = 0;
  LRESULT wideLength = 0;
  wchar_t wide[kCapacity] = {};
  LRESULT ansiLength = 0;
  char ansi[kCapacity] = {};
  const bool answered = Send(window, true, WM_GETTEXTLENGTH, 0, 0, wideLength) &&
                        Send(window, true, WM_GETTEXT, kCapacity, reinterpret_cast<LPARAM>(wide), copied) &&
                        Send(window, false, WM_GETTEXTLENGTH, 0, 0, ansiLength) &&
                        Send(window, false, WM_GETTEXT, kCapacity, reinterpret_cast<LPARAM>(ansi), copied);
  if (!answered) {
    std::fprintf(stderr, "the window did not answer\n");
    return 1;
  }

  FILE* out = std::fopen(argv[2], "wb");
  if (!out)
    return 1;
  // The text as far as its terminating zero: what a reader shows, whatever count came back.
  std::fprintf(out, "%lld\n%s\n%lld\n%s\n", static_cast<long long>(wideLength),
               Utf8(wide, static_cast<int>(wcsnlen(wide, kCapacity))).c_str(),
               static_cast<long long>(ansiLength), ansi);
  return std::fclose(out) == 0 ? 0 : 1;
}
