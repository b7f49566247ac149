#include "tools/xrcall/xrcall_args.h"

#include <cstdio>

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

bool parseInt(const std::string& text, int32_t& number) {
    size_t at = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (at == text.size() || text.size() - at > 10) {
        return false;
    }
    int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (!isDigit(text[at])) {
            return false;
        }
        magnitude = magnitude * 10 + (text[at] - '0');
    }
    const int64_t value = text[0] == '-' ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    number = static_cast<int32_t>(value);
    return true;
}

bool parseBase64(const std::string& text, ByteString& bytes) {
    size_t padding = 0;
    for (char c : text) {
        const bool alphabet =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '+' || c == '/';
        if (c == '=') {
            ++padding;
        } else if (!alphabet || padding > 0) {
            return false;
        }
    }
    if (padding > 2 || text.size() % 4 == 1 || (padding > 0 && text.size() % 4 != 0)) {
        return false;
    }
    decodeBase64(text.data(), text.data() + text.size(), bytes);
    return true;
}

// "YYYYMMDDTHH:MM:SS", every field a plain number in its calendar range.
bool parseDateTime(const std::string& text, DateTime& time) {
    static const char kPattern[] = "dddddddd_dd:dd:dd";
    if (text.size() != sizeof kPattern - 1) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char want = kPattern[i];
        if ((want == 'd' && !isDigit(text[i])) || (want == '_' && text[i] != 'T') ||
            (want == ':' && text[i] != ':')) {
            return false;
        }
    }
    auto field = [&](size_t at, size_t n) { return std::stoi(text.substr(at, n)); };
    time = DateTime();
    time.year = field(0, 4);
    time.month = field(4, 2) - 1;
    time.day = field(6, 2);
    time.hour = field(9, 2);
    time.minute = field(12, 2);
    time.second = field(15, 2);
    return time.month >= 0 && time.month < 12 && time.day >= 1 && time.day <= 31 &&
           time.hour < 24 && time.minute < 60 && time.second <= 60;
}

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
    std::string rest;
    error.clear();
    if (startsWith(text, "i4:", rest) || startsWith(text, "int:", rest)) {
        int32_t number = 0;
        if (!parseInt(rest, number)) {
            error = "not a 32-bit integer: " + text;
            return false;
        }
        value.setInt(number);
    } else if (startsWith(text, "double:", rest)) {
        double number = 0;
        const char* stop = rest.c_str();
        if (rest.empty() || !parseDouble(rest.c_str(), &stop, &number) || *stop != '\0') {
            error = "not a number: " + text;
            return false;
        }
        value.setDouble(number);
    } else if (startsWith(text, "bool:", rest)) {
        if (rest != "0" && rest != "1") {
            error = "a boolean is bool:0 or bool:1, not " + text;
            return false;
        }
        value.setBoolean(rest == "1");
    } else if (startsWith(text, "str:", rest)) {
        value.setString(rest);
    } else if (text == "nil") {
        value.setNil();
    } else if (startsWith(text, "b64:", rest)) {
        ByteString bytes;
        if (!parseBase64(rest, bytes)) {
            error = "not base64: " + text;
            return false;
        }
        value.setBase64(bytes);
    } else if (startsWith(text, "dt:", rest)) {
        DateTime time;
        if (!parseDateTime(rest, time)) {
            error = "a date and time is dt:YYYYMMDDTHH:MM:SS, not " + text;
            return false;
        }
        value.setDateTime(time);
    } else {
        value.setString(text);
    }
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
    int32_t number = 0;
    if (!parseInt(text, number) || number <= 0) {
        return false;
    }
    milliseconds = static_cast<uint32_t>(number);
    return true;
}

std::string readableValue(const XmlRpcValue& value) {
    std::string out;
    appendReadable(value, out, true);
    return out;
}
