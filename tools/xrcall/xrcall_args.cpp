#include "tools/xrcall/xrcall_args.h"

#include <cstdio>
#include <optional>

#include "base/char_class.h"
#include "xmlrpc/core/codecs.h"
#include "xmlrpc/core/numbers.h"

namespace {

bool startsWith(const std::string& text, const char* prefix, std::string& rest) {
    const std::string p(prefix);
    if (text.compare(0, p.size(), p) != 0) {
        return false;
    }
    rest = text.substr(p.size());
    return true;
}

using charclass::isDigit;

// Decimal digits with an optional sign, in the 32-bit range.
std::optional<int32_t> int32From(const std::string& text) {
    size_t at = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (at == text.size() || text.size() - at > 10) {
        return std::nullopt;
    }
    int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (!isDigit(text[at])) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (text[at] - '0');
    }
    const int64_t value = text[0] == '-' ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

// The whole text a number as the XML-RPC reader reads one.
std::optional<double> doubleFrom(const std::string& text) {
    double number = 0;
    const char* stop = text.c_str();
    if (text.empty() || !parseDouble(text.c_str(), &stop, &number) || *stop != '\0') {
        return std::nullopt;
    }
    return number;
}

std::optional<bool> booleanFrom(const std::string& text) {
    if (text != "0" && text != "1") {
        return std::nullopt;
    }
    return text == "1";
}

std::optional<ByteString> bytesFromBase64(const std::string& text) {
    size_t padding = 0;
    for (char c : text) {
        const bool alphabet =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '+' || c == '/';
        if (c == '=') {
            ++padding;
        } else if (!alphabet || padding > 0) {
            return std::nullopt;
        }
    }
    if (padding > 2 || text.size() % 4 == 1 || (padding > 0 && text.size() % 4 != 0)) {
        return std::nullopt;
    }
    ByteString bytes;
    decodeBase64(text.data(), text.data() + text.size(), bytes);
    return bytes;
}

// "YYYYMMDDTHH:MM:SS", every field a plain number in its calendar range.
std::optional<DateTime> dateTimeFrom(const std::string& text) {
    static const char kPattern[] = "dddddddd_dd:dd:dd";
    if (text.size() != sizeof kPattern - 1) {
        return std::nullopt;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char want = kPattern[i];
        if ((want == 'd' && !isDigit(text[i])) || (want == '_' && text[i] != 'T') ||
            (want == ':' && text[i] != ':')) {
            return std::nullopt;
        }
    }
    auto field = [&](size_t at, size_t n) { return std::stoi(text.substr(at, n)); };
    DateTime time;
    time.year = field(0, 4);
    time.month = field(4, 2) - 1;
    time.day = field(6, 2);
    time.hour = field(9, 2);
    time.minute = field(12, 2);
    time.second = field(15, 2);
    if (time.month < 0 || time.month >= 12 || time.day < 1 || time.day > 31 || time.hour >= 24 ||
        time.minute >= 60 || time.second > 60) {
        return std::nullopt;
    }
    return time;
}

// Reads a tagged parameter's text with `parse` and, when it reads, stores it with `store`.
template <auto parse, auto store>
bool readTagged(const std::string& text, XmlRpcValue& value) {
    const auto parsed = parse(text);
    if (parsed) {
        (value.*store)(*parsed);
    }
    return parsed.has_value();
}

bool readString(const std::string& text, XmlRpcValue& value) {
    value.setString(text);
    return true;
}

constexpr void (XmlRpcValue::*kSetBase64)(const ByteString&) = &XmlRpcValue::setBase64;

// A parameter whose text starts with the tag; the complaint, followed by the whole text, is
// the error when the rest does not read.
struct TaggedParam {
    const char* tag;
    bool (*read)(const std::string& rest, XmlRpcValue& value);
    const char* complaint;
};

constexpr TaggedParam kTaggedParams[] = {
    {"i4:", readTagged<int32From, &XmlRpcValue::setInt>, "not a 32-bit integer: "},
    {"int:", readTagged<int32From, &XmlRpcValue::setInt>, "not a 32-bit integer: "},
    {"double:", readTagged<doubleFrom, &XmlRpcValue::setDouble>, "not a number: "},
    {"bool:", readTagged<booleanFrom, &XmlRpcValue::setBoolean>,
     "a boolean is bool:0 or bool:1, not "},
    {"str:", readString, ""},
    {"b64:", readTagged<bytesFromBase64, kSetBase64>, "not base64: "},
    {"dt:", readTagged<dateTimeFrom, &XmlRpcValue::setDateTime>,
     "a date and time is dt:YYYYMMDDTHH:MM:SS, not "},
};

void appendTwoDigits(std::string& out, int32_t n) {
    out += static_cast<char>('0' + (n / 10) % 10);
    out += static_cast<char>('0' + n % 10);
}

void appendReadable(const XmlRpcValue& value, std::string& out, bool topLevel);

void appendQuoted(const char* text, std::string& out) {
    out += '"';
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '"' || *p == '\\') {
            out += '\\';
        }
        out += *p;
    }
    out += '"';
}

void appendDateTime(const DateTime& t, std::string& out) {
    char text[64];
    std::snprintf(text, sizeof text, "dt:%04d", static_cast<int>(t.year));
    out += text;
    appendTwoDigits(out, t.month + 1);
    appendTwoDigits(out, t.day);
    out += 'T';
    appendTwoDigits(out, t.hour);
    out += ':';
    appendTwoDigits(out, t.minute);
    out += ':';
    appendTwoDigits(out, t.second);
}

// "b64:" and the encoded bytes on one line.
void appendBase64(const ByteString& bytes, std::string& out) {
    const std::string encoded = encodeBase64(bytes.data(), bytes.size());
    out += "b64:";
    for (char c : encoded) {
        if (c != '\n') {
            out += c;
        }
    }
}

void appendArray(const XmlRpcValue& value, std::string& out) {
    out += '[';
    for (int32_t i = 0; i < value.size(); ++i) {
        out += i == 0 ? "" : ", ";
        appendReadable(value.element(i), out, false);
    }
    out += ']';
}

void appendStruct(const XmlRpcValue& value, std::string& out) {
    out += '{';
    bool first = true;
    for (const auto& member : value.members()) {
        out += first ? "" : ", ";
        first = false;
        out += member.first;
        out += ": ";
        appendReadable(member.second, out, false);
    }
    out += '}';
}

void appendReadable(const XmlRpcValue& value, std::string& out, bool topLevel) {
    switch (value.kind()) {
        case ValueKind::Undefined:
            break;
        case ValueKind::Boolean:
            out += value.booleanValue() ? "true" : "false";
            break;
        case ValueKind::Int:
            appendInt32(out, value.intValue());
            break;
        case ValueKind::Double:
            appendDouble(out, value.doubleValue());
            break;
        case ValueKind::String:
            if (topLevel) {
                out += value.textValue();
            } else {
                appendQuoted(value.textValue(), out);
            }
            break;
        case ValueKind::DateTime:
            appendDateTime(value.dateTimeValue(), out);
            break;
        case ValueKind::Base64:
            appendBase64(value.base64Value(), out);
            break;
        case ValueKind::Array:
            appendArray(value, out);
            break;
        case ValueKind::Struct:
            appendStruct(value, out);
            break;
        case ValueKind::Nil:
            out += "nil";
            break;
    }
}

}  // namespace

bool parseParam(const std::string& text, XmlRpcValue& value, std::string& error) {
    error.clear();
    if (text == "nil") {
        value.setNil();
        return true;
    }
    std::string rest;
    for (const TaggedParam& param : kTaggedParams) {
        if (startsWith(text, param.tag, rest)) {
            if (!param.read(rest, value)) {
                error = param.complaint + text;
                return false;
            }
            return true;
        }
    }
    value.setString(text);
    return true;
}

bool parseParams(const std::vector<std::string>& texts, XmlRpcValue& params, std::string& error) {
    params.clear();
    if (texts.size() == 1) {
        return parseParam(texts[0], params, error);
    }
    if (texts.empty()) {
        return true;
    }
    params.setArray();
    for (const std::string& text : texts) {
        if (!parseParam(text, params.append(), error)) {
            return false;
        }
    }
    return true;
}

bool parseMilliseconds(const std::string& text, uint32_t& milliseconds) {
    const std::optional<int32_t> number = int32From(text);
    if (!number || *number <= 0) {
        return false;
    }
    milliseconds = static_cast<uint32_t>(*number);
    return true;
}

std::string readableValue(const XmlRpcValue& value) {
    std::string out;
    appendReadable(value, out, true);
    return out;
}
