// Number conversions that behave alike on every platform: a 32-bit `long` for integers read
// from text, "." as the decimal point, and doubles written with an exponent of three digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads an integer like strtol(p, &stop, 10) with a 32-bit long: skips C white space, takes an
// optional sign and decimal digits, clamps to the int32 range. Stops at `end` (nullptr: only
// the NUL stops it). Returns false, with *stop = p, when no digit was found.
bool parseLong32(const char* p, const char* end, const char** stop, int32_t* result);

// Reads a double in decimal form like strtod in the "C" locale: blanks, sign, decimal digits
// with an optional point and exponent, or inf/infinity/nan (any case, nan with an optional
// "(chars)"). Out-of-range values become an infinity or zero of their sign. Returns false, with
// *stop = p, when nothing was converted.
bool parseDouble(const char* p, const char** stop, double* result);
// The same with the whole strtod grammar: also the hexadecimal forms ("0x1.8p1").
bool parseStrtodDouble(const char* p, const char** stop, double* result);

// The longest text that formatInt32 or formatDouble writes.
constexpr size_t MaxNumberLength = 16;

// Writes the decimal form of v ("-" for negatives, no leading zeros) at `out` and returns the
// end of what it wrote.
char* formatInt32(char* out, int32_t v);
void appendInt32(std::string& out, int32_t v);

// Writes v like printf("%.6g"), exponent written with a sign and at least three digits
// (1.23457e+008, 1e-005); infinities as "inf"/"-inf", NaN as "nan". Returns the end.
char* formatDouble(char* out, double v);
void appendDouble(std::string& out, double v);
