// libFuzzer target for the building blocks under the value reader: the first input byte picks
// one of them, the rest is its text.
//   0: readValue alone, then copy, compare and clear the value;
//   1: decodeEntities, and encodeEntities then decodeEntities gives the decoded text back;
//   2: decodeBase64, and encodeBase64 then decodeBase64 gives the bytes back;
//   3: readTag over the whole text: every tag fits its buffer and the cursor only moves on;
//   4: readDateTime, and writeDateTime then readDateTime gives the same record.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "xmlrpc/core/codecs.h"
#include "xmlrpc/core/scanner.h"
#include "xmlrpc/core/value_io.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "codec_fuzzer: %s\n", what);
    std::abort();
}

void valueReader(const char* text) {
    XmlRpcValue value;
    const char* cursor = text;
    try {
        readValue(value, cursor);
    } catch (const XmlRpcException&) {
    }
    XmlRpcValue copy(value);
    XmlRpcValue assigned;
    assigned = copy;
    assigned = std::move(copy);
    value.clear();
}

void entities(const char* text, size_t length) {
    char* decoded = decodeEntities(text, text + length);
    const std::string encoded = encodeEntities(decoded);
    char* back = decodeEntities(encoded.c_str(), encoded.c_str() + encoded.size());
    const bool same = std::strcmp(decoded, back) == 0;
    std::free(back);
    std::free(decoded);
    if (!same)
        fail("decodeEntities(encodeEntities(t)) != t");
}

void base64(const char* text, size_t length) {
    ByteString bytes;
    decodeBase64(text, text + length, bytes);
    const std::string encoded = encodeBase64(bytes.data(), bytes.size());
    ByteString back;
    decodeBase64(encoded.c_str(), encoded.c_str() + encoded.size(), back);
    if (back != bytes)
        fail("decodeBase64(encodeBase64(b)) != b");
}

void tags(const char* text, size_t length) {
    const char* cursor = text;
    char buffer[TagBufferSize + 16];
    std::memset(buffer, 0x5a, sizeof buffer);
    while (*cursor) {
        const char* before = cursor;
        readTag(cursor, buffer);
        if (std::memchr(buffer, '\0', TagBufferSize) == nullptr)
            fail("tag overflows its buffer");
        for (size_t i = TagBufferSize; i < sizeof buffer; ++i)
            if (buffer[i] != 0x5a)
                fail("readTag wrote past its buffer");
        if (cursor < before || cursor > text + length)
            fail("cursor out of the text");
        if (cursor == before)
            ++cursor;  // not at a tag: step over the character
    }
}

void dateTime(const char* text) {
    XmlRpcValue value;
    const char* cursor = text;
    try {
        readDateTime(value, cursor);
    } catch (const XmlRpcException&) {
        return;
    }
    if (*cursor != '<')
        fail("readDateTime left the cursor off '<'");
    std::string written;
    const int32_t year = value.dateTimeValue().year;
    // Years from -99 to 999 are written space-padded ("%4d"), which "%4d" does not read back.
    if (year > -100 && year < 1000) {
        writeDateTime(value, written);
        return;
    }
    writeDateTime(value, written);
    const char* start = std::strstr(written.c_str(), "<dateTime.iso8601>");
    if (!start)
        fail("writeDateTime wrote no dateTime tag");
    start += std::strlen("<dateTime.iso8601>");
    XmlRpcValue again;
    try {
        readDateTime(again, start);
    } catch (const XmlRpcException&) {
        fail("written dateTime does not read back");
    }
    if (!(again.dateTimeValue() == value.dateTimeValue()))
        fail("dateTime changed on a round trip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string owned(reinterpret_cast<const char*>(data) + 1, size - 1);
    const char* text = owned.c_str();
    const size_t length = std::strlen(text);  // the callers' texts end at their first NUL
    switch (data[0] % 5) {
        case 0:
            valueReader(text);
            break;
        case 1:
            entities(text, length);
            break;
        case 2:
            base64(text, length);
            break;
        case 3:
            tags(text, length);
            break;
        case 4:
            dateTime(text);
            break;
    }
    return 0;
}
