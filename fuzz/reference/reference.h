// Slow, plain readings of the XML-RPC texts, written from the rules alone and sharing no code
// with the library: the oracles of the differential fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace reference {

// The bytes of the base64 text [start, end): alphabet characters carry 6 bits, '=' ends the
// text, everything else is passed over; groups of four give three bytes, a group ended by '='
// after two or three characters gives one or two, an unfinished group gives nothing.
std::string base64Bytes(const char* start, const char* end);

// The six fields of "%4d%2d%2dT%2d:%2d:%2d" scanned at `text` (year, month, day, hour, minute,
// second); false when fewer than six were converted.
bool dateTimeFields(const char* text, int32_t fields[6]);

// [start, end) with the five named entities, "&#039;" and decimal references "&#N" resolved;
// a reference whose low 8 bits are zero stays as it is written.
std::string entitiesDecoded(const char* start, const char* end);

// strtol in base 10 with a 32-bit long over [p, end): stop is p when nothing was converted.
struct IntReading {
    bool converted;
    int32_t value;
    size_t consumed;
};
IntReading int32At(const char* p, const char* end);

}  // namespace reference
