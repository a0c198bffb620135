#include "windows/command_table.h"

namespace velmora::win {

namespace {

std::string KeyName(WORD key) {
  if (key >= VK_F1 && key <= VK_F24)
    return "F" + std::to_string(key - VK_F1 + 1);
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
    return std::string(1, static_cast<char>(key));
  switch (key) {
    case VK_INSERT:
      return "Ins";
    case VK_DELETE:
      return "Del";
    case VK_RETURN:
      return "Enter";
    case VK_ESCAPE:
      return "Esc";
    case VK_SPACE:
      return "Space";
    default:
      return "#" + std::to_string(key);
  }
}

}  // namespace

std::string ShortcutText(Shortcut shortcut) {
  if (!shortcut.IsSet())
    return {};
  std::string text;
  if (shortcut.modifiers & FSHIFT)
    text += "Shift+";
  if (shortcut.modifiers & FCONTROL)
    text += "Ctrl+";
  if (shortcut.modifiers & FALT)
    text += "Alt+";
  return text + KeyName(shortcut.key);
}

std::string MenuItemText(std::string_view caption, Shortcut shortcut) {
  std::string text(caption);
  if (shortcut.IsSet())
    text += "\t" + ShortcutText(shortcut);
  return text;
}

std::string HintText(std::string_view caption) {
  std::string text;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    // "&&" stands for a literal ampersand.
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&')
        text += caption[++i];
      continue;
    }
    text += caption[i];
  }
  if (text.ends_with("..."))
    text.resize(text.size() - 3);
  return text;
}

ACCEL MakeAccel(Shortcut shortcut, WORD command) {
  ACCEL entry{};
  entry.fVirt = static_cast<BYTE>(FVIRTKEY | shortcut.modifiers);
  entry.key = shortcut.key;
  entry.cmd = command;
  return entry;
}

AccelHandle MakeAcceleratorTable(const std::vector<ACCEL>& entries) {
  std::vector<ACCEL> copy = entries;
  return AccelHandle(::CreateAcceleratorTableA(copy.data(), static_cast<int>(copy.size())));
}

}  // namespace velmora::win
