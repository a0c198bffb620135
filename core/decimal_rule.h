// The program's one number-text rule: floating-point numbers are read and written with "." as
// the decimal mark whatever the user's regional settings. FormatFixed and SafeStrToFloat do not
// consult the C locale at all; ApplyDecimalRule also pins the C runtime's numeric locale so that
// nothing else in the process can pick up a "," either.
#pragma once

#include <string>

namespace velmora {

// Called once at start-up, before any window exists.
void ApplyDecimalRule();

// `value` in fixed notation with `decimals` digits after a "." ("%.2f" whatever the locale).
std::string FormatFixed(double value, int decimals);

}  // namespace velmora
