// The program's error message box: the failure's text, the application title as caption, one
// OK button.
#pragma once

#include <windows.h>

#include <string>

namespace velmora {

inline constexpr char kAppTitle[] = "Velmora";

// A message that ends in a letter gets a full stop ("Failed to create key Layout.").
std::string WithFullStop(std::string message);

void ShowErrorBox(HWND owner, const std::string& message);

}  // namespace velmora
