// Deterministic benchmark workloads: a neutral value tree that both XML-RPC
// implementations are built from and compared against, and the methodResponse
// text a typical server would send for it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace codecbench {

// Calendar fields as written in a dateTime.iso8601 text (month 1..12).
struct CalendarTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const CalendarTime& o) const {
        return year == o.year && month == o.month && day == o.day && hour == o.hour &&
               minute == o.minute && second == o.second;
    }
};

// One XML-RPC value independent of either library.
struct Node {
    enum class Kind { Boolean, Int, Double, String, DateTime, Base64, Array, Struct, Nil };
    Kind kind = Kind::Nil;
    bool boolean = false;
    int32_t integer = 0;
    double real = 0.0;
    std::string bytes;  // String text or Base64 bytes
    CalendarTime time;
    std::vector<Node> elements;
    std::vector<std::pair<std::string, Node>> members;  // ascending byte-wise by name

    bool operator==(const Node& o) const;
    bool operator!=(const Node& o) const { return !(*this == o); }
};

// Describes the first difference between two trees ("" when equal). Doubles may differ by
// `tolerance` relative to the expected one (xmlrpc-c's number reader is off by a few ulp).
std::string firstDifference(const Node& expected, const Node& actual, double tolerance = 0);

struct Workload {
    std::string name;
    Node value;
    std::string responseText;  // methodResponse carrying `value` as its one parameter
};

// The five fixed workloads, in reporting order: tiny, 10 KB, 10 MB, base64, nested.
const std::vector<std::string>& workloadNames();
std::vector<Workload> makeWorkloads();
// One of them by name; std::invalid_argument for an unknown name.
Workload makeWorkload(const std::string& name);

// Writes `value` inside a methodResponse, laid out as common servers do.
std::string writeResponseText(const Node& value);

// Writes the tiny reply exactly as fldigi sends it (bare string value).
std::string fldigiReplyText(const std::string& text);

std::string base64Encode(const std::string& bytes, size_t lineLength);

}  // namespace codecbench
