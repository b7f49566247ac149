// base64 contents (RFC 4648 alphabet): lenient decoding, 72-character lines when encoding.
#include <cstring>
#include <utility>

#include "xmlrpc/core/codecs.h"
#include "xmlrpc/core/text_writer.h"

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

enum : uint8_t { Ignored = 0xFF, Padding = 0xFE };

struct DecodeTable {
    uint8_t value[256];
};

constexpr DecodeTable makeDecodeTable() {
    DecodeTable t{};
    for (int c = 0; c < 256; ++c) {
        t.value[c] = Ignored;
    }
    for (int i = 0; i < 64; ++i) {
        t.value[static_cast<unsigned char>(alphabet[i])] = static_cast<uint8_t>(i);
    }
    t.value[static_cast<unsigned char>('=')] = Padding;
    return t;
}

constexpr DecodeTable decodeTable = makeDecodeTable();

// Next significant character's class (6-bit value or Padding); false at the end of the range.
bool nextSignificant(const char*& p, const char* end, uint8_t& out) {
    while (p < end) {
        uint8_t v = decodeTable.value[static_cast<unsigned char>(*p++)];
        if (v != Ignored) {
            out = v;
            return true;
        }
    }
    return false;
}

}  // namespace

void decodeBase64(const char* start, const char* end, ByteString& bytes) {
    const size_t oldSize = bytes.size();
    // Room for a last group of two or three characters ended by the range or by padding.
    bytes.resize(oldSize + (static_cast<size_t>(end - start) + 3) / 4 * 3);
    char* out = &bytes[0] + oldSize;
    const char* p = start;
    for (;;) {
        // Fast path: four alphabet characters in a row.
        while (end - p >= 4) {
            uint8_t a = decodeTable.value[static_cast<unsigned char>(p[0])];
            uint8_t b = decodeTable.value[static_cast<unsigned char>(p[1])];
            uint8_t c = decodeTable.value[static_cast<unsigned char>(p[2])];
            uint8_t d = decodeTable.value[static_cast<unsigned char>(p[3])];
            if ((a | b | c | d) >= 64) {
                break;
            }
            out[0] = static_cast<char>((a << 2) | (b >> 4));
            out[1] = static_cast<char>(((b & 0x0F) << 4) | (c >> 2));
            out[2] = static_cast<char>(((c & 0x03) << 6) | d);
            out += 3;
            p += 4;
        }
        // One group with ignored characters, padding or the end of the range in it.
        uint8_t a, b, c, d;
        if (!nextSignificant(p, end, a) || a == Padding || !nextSignificant(p, end, b) ||
            b == Padding || !nextSignificant(p, end, c)) {
            break;
        }
        if (c == Padding) {
            *out++ = static_cast<char>((a << 2) | (b >> 4));
            break;
        }
        if (!nextSignificant(p, end, d)) {
            break;
        }
        *out++ = static_cast<char>((a << 2) | (b >> 4));
        *out++ = static_cast<char>(((b & 0x0F) << 4) | (c >> 2));
        if (d == Padding) {
            break;
        }
        *out++ = static_cast<char>(((c & 0x03) << 6) | d);
    }
    bytes.resize(static_cast<size_t>(out - bytes.data()));
}

namespace {

// The two characters of every 12-bit half of a group, so a group of three bytes takes two
// lookups.
struct PairTable {
    char pair[4096][2];
};

constexpr PairTable makePairTable() {
    PairTable t{};
    for (int i = 0; i < 4096; ++i) {
        t.pair[i][0] = alphabet[i >> 6];
        t.pair[i][1] = alphabet[i & 0x3F];
    }
    return t;
}

constexpr PairTable pairTable = makePairTable();

constexpr size_t GroupsPerLine = 18;  // 72 characters, then a line feed

size_t encodedLength(size_t count) {
    const size_t groups = count / 3;
    return groups * 4 + groups / GroupsPerLine + (count % 3 != 0 ? 4 : 0);
}

void encodeGroups(char* o, const unsigned char* p, size_t groups) {
    for (size_t g = 0; g < groups; ++g, p += 3, o += 4) {
        const unsigned bits = (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
        std::memcpy(o, pairTable.pair[bits >> 12], 2);
        std::memcpy(o + 2, pairTable.pair[bits & 0xFFF], 2);
    }
}

// Writes the encoded text of `count` bytes at `o`: encodedLength(count) characters.
void encodeInto(char* o, const unsigned char* p, size_t count) {
    size_t groups = count / 3;
    for (; groups >= GroupsPerLine; groups -= GroupsPerLine) {
        encodeGroups(o, p, GroupsPerLine);
        o += GroupsPerLine * 4;
        p += GroupsPerLine * 3;
        *o++ = '\n';
    }
    encodeGroups(o, p, groups);
    o += groups * 4;
    p += groups * 3;
    switch (count % 3) {
        case 1:
            o[0] = alphabet[p[0] >> 2];
            o[1] = alphabet[(p[0] & 0x03) << 4];
            o[2] = '=';
            o[3] = '=';
            break;
        case 2:
            o[0] = alphabet[p[0] >> 2];
            o[1] = alphabet[((p[0] & 0x03) << 4) | (p[1] >> 4)];
            o[2] = alphabet[(p[1] & 0x0F) << 2];
            o[3] = '=';
            break;
    }
}

// Appends the encoded text of `count` bytes to `out`, written in place.
void appendBase64(std::string& out, const void* data, size_t count) {
    const size_t oldSize = out.size();
    out.resize(oldSize + encodedLength(count));
    encodeInto(&out[0] + oldSize, static_cast<const unsigned char*>(data), count);
}

}  // namespace

std::string encodeBase64(const void* data, size_t count) {
    std::string out;
    appendBase64(out, data, count);
    return out;
}

void readBase64(XmlRpcValue& value, const char*& cursor) {
    const char* close = std::strchr(cursor, '<');
    if (close == nullptr) {
        throw XmlRpcException("Bad base64");
    }
    ByteString bytes;
    decodeBase64(cursor, close, bytes);
    value.setBase64(std::move(bytes));
    cursor = close;
}

void writeBase64(const XmlRpcValue& value, TextWriter& out) {
    const ByteString& bytes = value.base64Value();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t length = encodedLength(bytes.size());
    out.put("<value><base64>");
    if (length <= TextWriter::Capacity) {
        char* o = out.room(length);
        encodeInto(o, data, bytes.size());
        out.commit(o + length);
    } else {
        appendBase64(out.flushedFor(length), data, bytes.size());
    }
    out.put("</base64></value>");
}

void writeBase64(const XmlRpcValue& value, std::string& out) {
    TextWriter writer(out);
    writeBase64(value, writer);
    writer.flush();
}
