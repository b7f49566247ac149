// base64 contents (RFC 4648 alphabet): lenient decoding, 72-character lines when encoding.
#include <cstring>
#include <utility>

#include "xmlrpc/codecs.h"

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
    bytes.reserve(bytes.size() + static_cast<size_t>(end - start) / 4 * 3);
    const char* p = start;
    for (;;) {
        uint8_t a, b, c, d;
        if (!nextSignificant(p, end, a) || a == Padding) {
            return;
        }
        if (!nextSignificant(p, end, b) || b == Padding) {
            return;
        }
        if (!nextSignificant(p, end, c)) {
            return;
        }
        if (c == Padding) {
            bytes += static_cast<char>((a << 2) | (b >> 4));
            return;
        }
        if (!nextSignificant(p, end, d)) {
            return;
        }
        if (d == Padding) {
            bytes += static_cast<char>((a << 2) | (b >> 4));
            bytes += static_cast<char>(((b & 0x0F) << 4) | (c >> 2));
            return;
        }
        char group[3] = {static_cast<char>((a << 2) | (b >> 4)),
                         static_cast<char>(((b & 0x0F) << 4) | (c >> 2)),
                         static_cast<char>(((c & 0x03) << 6) | d)};
        bytes.append(group, 3);
    }
}

std::string encodeBase64(const void* data, size_t count) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    std::string out;
    size_t groups = count / 3;
    out.reserve((groups + 1) * 4 + groups / 18 + 1);
    for (size_t g = 1; g <= groups; ++g, p += 3) {
        char quad[4] = {alphabet[p[0] >> 2], alphabet[((p[0] & 0x03) << 4) | (p[1] >> 4)],
                        alphabet[((p[1] & 0x0F) << 2) | (p[2] >> 6)], alphabet[p[2] & 0x3F]};
        out.append(quad, 4);
        if (g % 18 == 0) {
            out += '\n';
        }
    }
    size_t rest = count % 3;
    if (rest == 1) {
        char quad[4] = {alphabet[p[0] >> 2], alphabet[(p[0] & 0x03) << 4], '=', '='};
        out.append(quad, 4);
    } else if (rest == 2) {
        char quad[4] = {alphabet[p[0] >> 2], alphabet[((p[0] & 0x03) << 4) | (p[1] >> 4)],
                        alphabet[(p[1] & 0x0F) << 2], '='};
        out.append(quad, 4);
    }
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

void writeBase64(const XmlRpcValue& value, std::string& out) {
    const ByteString& bytes = value.base64Value();
    std::string encoded = encodeBase64(bytes.data(), bytes.size());
    out += "<value><base64>";
    out += encoded;
    out += "</base64></value>";
}
