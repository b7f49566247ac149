// fldigi's frequency text (kHz) as the host's frequency in hertz.
#pragma once

#include <string>

namespace pollcycle {

// The leading decimal number of `text`, read like the C library's atof, with "." or "," as the
// decimal point whatever this process's locale (fldigi writes its numbers in its own locale,
// "14071,500" in a decimal-comma one): white space skipped, optional sign, digits with an
// optional point, optional exponent. A comma counts only where a point would and only with a
// digit after it. 0.0 when the text does not start with a number; ±HUGE_VAL on overflow.
double leadingDecimalNumber(const std::string& text);

// leadingDecimalNumber(text) × 1000.0.
double frequencyHertzFromKilohertzText(const std::string& text);

}  // namespace pollcycle
