// fldigi's frequency text (kHz) as the host's frequency in hertz.
#pragma once

#include <string>

namespace pollcycle {

// The leading decimal number of `text`, read like the C library's atof but always with "." as
// the decimal point, whatever the locale: white space skipped, optional sign, digits with an
// optional point, optional exponent. 0.0 when the text does not start with a number; ±HUGE_VAL
// on overflow.
double leadingDecimalNumber(const std::string& text);

// leadingDecimalNumber(text) × 1000.0.
double frequencyHertzFromKilohertzText(const std::string& text);

}  // namespace pollcycle
