#include "workload.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>

namespace codecbench {
namespace {

// std::mt19937 is specified bit for bit, so the workloads are the same everywhere;
// distributions are done by hand for the same reason.
class Generator {
  public:
    explicit Generator(uint32_t seed) : engine_(seed) {}
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(engine_() % bound); }
    int32_t between(int32_t low, int32_t high) {
        return low + static_cast<int32_t>(below(static_cast<uint32_t>(high - low + 1)));
    }

  private:
    std::mt19937 engine_;
};

void appendValue(std::string& out, const Node& v);

Node makeString(std::string text) {
    Node n;
    n.kind = Node::Kind::String;
    n.bytes = std::move(text);
    return n;
}

Node makeInt(int32_t v) {
    Node n;
    n.kind = Node::Kind::Int;
    n.integer = v;
    return n;
}

Node makeArray() {
    Node n;
    n.kind = Node::Kind::Array;
    return n;
}

// Text with every markup character, so entity coding is exercised both ways.
// It never starts with a blank (blanks before bare text are not kept).
std::string markedUpText(Generator& gen) {
    static const char* const kWords[] = {"Smith & Sons", "<QTH>",     "\"Berlin\"", "'73'",
                                         "DL1ABC",       "a > b",     "QSL via",    "CQ DX",
                                         "R&D",          "5/9 +10dB", "grid JO62",  "tnx fer call"};
    const size_t count = sizeof kWords / sizeof kWords[0];
    std::string text = "op" + std::to_string(gen.below(10000));
    const uint32_t words = 2 + gen.below(4);
    for (uint32_t i = 0; i < words; ++i) {
        text += ' ';
        text += kWords[gen.below(count)];
    }
    return text;
}

// Six members: string with entities, int, double, boolean, dateTime, small array.
Node makeContactStruct(Generator& gen) {
    Node s;
    s.kind = Node::Kind::Struct;
    Node when;
    when.kind = Node::Kind::DateTime;
    when.time = {2000 + gen.between(0, 30), gen.between(1, 12), gen.between(1, 28),
                 gen.between(0, 23),        gen.between(0, 59), gen.between(0, 59)};
    Node bands = makeArray();
    const uint32_t bandCount = 1 + gen.below(3);
    for (uint32_t i = 0; i < bandCount; ++i)
        bands.elements.push_back(makeInt(gen.between(1, 60)));
    Node active;
    active.kind = Node::Kind::Boolean;
    active.boolean = gen.below(2) != 0;
    Node power;
    power.kind = Node::Kind::Double;
    // At most six significant digits, so the text form of every side round-trips exactly.
    power.real = gen.between(-999999, 999999) / 100.0;
    // Sorted by name.
    s.members.emplace_back("active", active);
    s.members.emplace_back("bands", bands);
    s.members.emplace_back("comment", makeString(markedUpText(gen)));
    s.members.emplace_back("power", power);
    s.members.emplace_back("serial", makeInt(gen.between(-2000000000, 2000000000)));
    s.members.emplace_back("when", when);
    return s;
}

Workload structArray(const std::string& name, size_t targetBytes, uint32_t seed) {
    Generator gen(seed);
    Workload w;
    w.name = name;
    w.value = makeArray();
    // Add elements until the text reaches the target size.
    size_t size = writeResponseText(w.value).size();
    std::string elementText;
    while (size < targetBytes) {
        w.value.elements.push_back(makeContactStruct(gen));
        elementText.clear();
        appendValue(elementText, w.value.elements.back());
        size += elementText.size();
    }
    w.responseText = writeResponseText(w.value);
    return w;
}

Workload base64Blob(size_t targetTextBytes, uint32_t seed) {
    Generator gen(seed);
    Workload w;
    w.name = "base64_1MB";
    w.value.kind = Node::Kind::Base64;
    w.value.bytes.resize(targetTextBytes / 4 * 3);
    for (char& c : w.value.bytes)
        c = static_cast<char>(gen.below(256));
    w.responseText = writeResponseText(w.value);
    return w;
}

Workload nestedArrays(int depth) {
    Workload w;
    w.name = "nested_100";
    Node inner = makeArray();
    inner.elements.push_back(makeInt(depth));
    inner.elements.push_back(makeString("bottom"));
    for (int level = depth - 1; level >= 1; --level) {
        Node outer = makeArray();
        outer.elements.push_back(makeInt(level));
        outer.elements.push_back(std::move(inner));
        inner = std::move(outer);
    }
    w.value = std::move(inner);
    w.responseText = writeResponseText(w.value);
    return w;
}

void appendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
}

void appendValue(std::string& out, const Node& v) {
    char buf[64];
    out += "<value>";
    switch (v.kind) {
        case Node::Kind::Boolean:
            out += v.boolean ? "<boolean>1</boolean>" : "<boolean>0</boolean>";
            break;
        case Node::Kind::Int:
            out += "<int>" + std::to_string(v.integer) + "</int>";
            break;
        case Node::Kind::Double:
            // Workload doubles are hundredths: two decimals write them exactly.
            std::snprintf(buf, sizeof buf, "%.2f", v.real);
            out += "<double>";
            out += buf;
            out += "</double>";
            break;
        case Node::Kind::String:
            out += "<string>";
            appendEscaped(out, v.bytes);
            out += "</string>";
            break;
        case Node::Kind::DateTime:
            std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d:%02d:%02d", v.time.year, v.time.month,
                          v.time.day, v.time.hour, v.time.minute, v.time.second);
            out += "<dateTime.iso8601>";
            out += buf;
            out += "</dateTime.iso8601>";
            break;
        case Node::Kind::Base64:
            out += "<base64>\n" + base64Encode(v.bytes, 76) + "</base64>";
            break;
        case Node::Kind::Array:
            out += "<array><data>\n";
            for (const Node& e : v.elements)
                appendValue(out, e);
            out += "</data></array>";
            break;
        case Node::Kind::Struct:
            out += "<struct>\n";
            for (const auto& m : v.members) {
                out += "<member>\n<name>";
                appendEscaped(out, m.first);
                out += "</name>\n";
                appendValue(out, m.second);
                out += "</member>\n";
            }
            out += "</struct>";
            break;
        case Node::Kind::Nil:
            out += "<nil/>";
            break;
    }
    out += "</value>\n";
}

const char* kindName(Node::Kind k) {
    static const char* const names[] = {"boolean", "int",   "double", "string", "dateTime",
                                        "base64",  "array", "struct", "nil"};
    return names[static_cast<int>(k)];
}

std::string difference(const Node& a, const Node& b, const std::string& path, double tolerance) {
    if (a.kind != b.kind)
        return path + ": kind " + kindName(a.kind) + " vs " + kindName(b.kind);
    switch (a.kind) {
        case Node::Kind::Boolean:
            return a.boolean == b.boolean ? "" : path + ": boolean differs";
        case Node::Kind::Int:
            return a.integer == b.integer ? "" : path + ": int differs";
        case Node::Kind::Double:
            if (a.real == b.real || std::fabs(a.real - b.real) <= tolerance * std::fabs(a.real))
                return "";
            char numbers[80];
            std::snprintf(numbers, sizeof numbers, ": double %.17g vs %.17g", a.real, b.real);
            return path + numbers;
        case Node::Kind::String:
        case Node::Kind::Base64:
            if (a.bytes == b.bytes)
                return "";
            return path + ": text differs (" + std::to_string(a.bytes.size()) + " vs " +
                   std::to_string(b.bytes.size()) + " bytes): '" + a.bytes.substr(0, 40) +
                   "' vs '" + b.bytes.substr(0, 40) + "'";
        case Node::Kind::DateTime:
            return a.time == b.time ? "" : path + ": dateTime differs";
        case Node::Kind::Array:
            if (a.elements.size() != b.elements.size())
                return path + ": array size differs";
            for (size_t i = 0; i < a.elements.size(); ++i) {
                std::string d = difference(a.elements[i], b.elements[i],
                                           path + "[" + std::to_string(i) + "]", tolerance);
                if (!d.empty())
                    return d;
            }
            return "";
        case Node::Kind::Struct:
            if (a.members.size() != b.members.size())
                return path + ": member count differs";
            for (size_t i = 0; i < a.members.size(); ++i) {
                if (a.members[i].first != b.members[i].first)
                    return path + ": member name " + a.members[i].first + " vs " +
                           b.members[i].first;
                std::string d = difference(a.members[i].second, b.members[i].second,
                                           path + "." + a.members[i].first, tolerance);
                if (!d.empty())
                    return d;
            }
            return "";
        case Node::Kind::Nil:
            return "";
    }
    return "";
}

}  // namespace

bool Node::operator==(const Node& o) const {
    return difference(*this, o, "", 0).empty();
}

std::string firstDifference(const Node& expected, const Node& actual, double tolerance) {
    return difference(expected, actual, "value", tolerance);
}

std::string base64Encode(const std::string& bytes, size_t lineLength) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t column = 0;
    auto put = [&](char c) {
        out += c;
        if (++column == lineLength) {
            out += '\n';
            column = 0;
        }
    };
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t g =
            (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            put(kAlphabet[(g >> shift) & 63]);
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t g = uint8_t(bytes[i]) << 16;
        if (rest == 2)
            g |= uint8_t(bytes[i + 1]) << 8;
        put(kAlphabet[(g >> 18) & 63]);
        put(kAlphabet[(g >> 12) & 63]);
        put(rest == 2 ? kAlphabet[(g >> 6) & 63] : '=');
        put('=');
    }
    if (column != 0)
        out += '\n';
    return out;
}

std::string writeResponseText(const Node& value) {
    std::string out = "<?xml version=\"1.0\"?>\n<methodResponse>\n<params>\n<param>\n";
    appendValue(out, value);
    out += "</param>\n</params>\n</methodResponse>\n";
    return out;
}

std::string fldigiReplyText(const std::string& text) {
    return "<?xml version=\"1.0\"?>\r\n<methodResponse><params><param>\r\n\t<value>" + text +
           "</value>\r\n</param></params></methodResponse>\r\n";
}

const std::vector<std::string>& workloadNames() {
    static const std::vector<std::string> names = {"tiny_reply", "structs_10KB", "structs_10MB",
                                                   "base64_1MB", "nested_100"};
    return names;
}

Workload makeWorkload(const std::string& name) {
    if (name == "tiny_reply") {
        Workload tiny;
        tiny.name = name;
        tiny.value = makeString("CALLSIGN");
        tiny.responseText = fldigiReplyText("CALLSIGN");
        return tiny;
    }
    if (name == "structs_10KB")
        return structArray(name, 10 * 1024, 20240315u);
    if (name == "structs_10MB")
        return structArray(name, 10 * 1024 * 1024, 73u);
    if (name == "base64_1MB")
        return base64Blob(1024 * 1024, 599u);
    if (name == "nested_100")
        return nestedArrays(100);
    throw std::invalid_argument("no workload named " + name);
}

std::vector<Workload> makeWorkloads() {
    std::vector<Workload> all;
    for (const std::string& name : workloadNames())
        all.push_back(makeWorkload(name));
    return all;
}

}  // namespace codecbench
