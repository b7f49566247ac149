// Forward XML scanning: tag reader, tag check, entity decoder and encoder.
#pragma once

#include <cstddef>
#include <string>

#include "base/char_class.h"

// Every caller passes a tag buffer of this size; a normalised tag keeps at most
// TagBufferSize - 2 characters before its closing '>'.
constexpr size_t TagBufferSize = 128;

class TextWriter;

// Reads the tag at the cursor (after blanks) into `buffer` (TagBufferSize chars) with its blanks
// normalised, and moves the cursor past it. Returns `buffer`, holding "" when the next non-blank
// character is not '<' (the cursor then stays on that character). Never fails, never reads
// past the terminating NUL.
char* readTag(const char*& cursor, char* buffer);

// Reads the next tag and raises "Expecting tag: " + `tag` unless it equals `tag` without
// regard to ASCII letter case.
void expectTag(const char*& cursor, const char* tag);

// expectTag for a tag that the tag reader can return ('<' first, '>' only last, no blanks):
// the same result, faster when the text holds the tag byte for byte.
inline void expectNormalTag(const char*& cursor, const char* tag) {
    if (!charclass::takeExactTag(cursor, tag)) {
        expectTag(cursor, tag);
    }
}

// Resolves the XML entities and decimal character references of [start, end) into a new
// NUL-terminated text allocated with malloc (the caller frees it with free()).
char* decodeEntities(const char* start, const char* end);
// Same, into `out` (at least end - start + 1 bytes); returns the length written (NUL excluded).
size_t decodeEntitiesInto(char* out, const char* start, const char* end);

// Escapes the five markup characters as entities and bytes 1-31, 127-255 as "&#N;".
std::string encodeEntities(const char* text);
// Appends the escaped text to `out`.
void appendEncodedEntities(std::string& out, const char* text);
void appendEncodedEntities(TextWriter& out, const char* text);
