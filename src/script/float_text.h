// Coordinates in the JSON dump: the shortest text that reads back as the same
// single-precision value, written the same on every host.
#pragma once

#include <charconv>

namespace torvin::script {

// Writes value as std::to_chars(first, last, value) does: the fewest digits
// that read back as the same float, in fixed form ("182", "176.8", "0.001")
// unless the exponent form is shorter ("1e+10", "1.5e-07"); a whole number in
// fixed form is written exactly ("123456790528"); "inf", "-inf", "nan",
// "-nan". Returns the end of the text, or last with value_too_large when it
// does not fit. Unlike std::to_chars for floats it needs no more of the
// standard library than every host's compiler has.
std::to_chars_result floatToChars(char* first, char* last, float value);

}  // namespace torvin::script
