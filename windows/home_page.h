// The program's home page on the web, in its European and its American copy: folder
// addresses, each holding the page itself as "index.html". The about window shows both; the
// Help command falls back on the European one when the program's folder has no page of its
// own. Invented addresses in the reserved .invalid domain.
#pragma once

namespace velmora::win {

inline constexpr const char* kHomePageEurope = "http://eu.tarnek.invalid/velmora/";
inline constexpr const char* kHomePageUSA = "http://us.tarnek.invalid/velmora/";
inline constexpr const char* kHomePageFile = "index.html";

}  // namespace velmora::win
