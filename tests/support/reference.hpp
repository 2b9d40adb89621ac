// Independent references for the field rules, written from the rules and the C library
// rather than from the program: the fuzzers, the bench and the tests compare against them.
#pragma once

#include <optional>
#include <string_view>

namespace zelk::reference {

// An F15.0 field as strtod reads it, after taking out blanks and rewriting the exponent
// forms (D for E, a bare exponent sign), then rounded from double to the nearest float.
// nullopt for a field the rules reject.
std::optional<float> readF15(std::string_view line);

// An Iw field: its blanks ignored, an optional sign and digits; nullopt for anything else.
std::optional<int> readI(std::string_view line, int w);

// An Fw.d field through snprintf("%*.*f") on the value widened to double, with the rules for
// the sign of zero, the leading zero that gives way, and asterisks. Writes w characters to
// out (at least w + 1 bytes; more room is used as scratch: give it 400) and returns w.
int renderF(char* out, std::size_t room, float value, int w, int d);

}  // namespace zelk::reference
