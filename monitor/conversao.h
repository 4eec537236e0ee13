// Texts and dates between the protocol and the library: the protocol speaks
// UTF-8 and ISO dates, the library Windows-1252 and day numbers counted from
// 30/12/1899 (the fraction is the time of day; before that day the whole part
// counts back and the fraction still counts forward, as Delphi hosts do).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace monitor {

// UTF-8 (already known to be valid) to Windows-1252. False when a character
// has no Windows-1252 form; `semForma` is then its code point.
bool ParaCp1252(const std::string &utf8, std::string &cp1252, uint32_t &semForma);
// Windows-1252 to UTF-8; the five bytes without a character become U+FFFD.
std::string ParaUtf8(const std::string &cp1252);

// "AAAA-MM-DD", "AAAA-MM-DDTHH:MM" or "AAAA-MM-DDTHH:MM:SS" (years 1 to 9999)
// as a day number; nothing for another text or an impossible date.
std::optional<double> DiaDeIso(const std::string &iso);
// The day number as "AAAA-MM-DDTHH:MM:SS", to the nearest second; empty for a
// number outside the years 1 to 9999 or not finite.
std::string IsoDeDia(double dia);

}  // namespace monitor
