// One XML-RPC value of any of the protocol's kinds, and the error type of the XML-RPC code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

enum class ValueKind : int32_t {
    Undefined = 0,
    Boolean = 1,
    Int = 2,
    Double = 3,
    String = 4,
    DateTime = 5,
    Base64 = 6,
    Array = 7,
    Struct = 8,
    Nil = 9,
};

// The one error type of the XML-RPC code: a fixed English message, raised and caught by value.
class XmlRpcException {
  public:
    explicit XmlRpcException(std::string text) : message(std::move(text)) {}
    explicit XmlRpcException(const char* text) : message(text) {}

    std::string message;
};

// Broken-down time in the field order of the C library's `tm`, but with the full calendar year.
struct DateTime {
    int32_t second = 0;
    int32_t minute = 0;
    int32_t hour = 0;
    int32_t day = 0;    // day of month
    int32_t month = 0;  // 0 for January
    int32_t year = 0;   // full calendar year, e.g. 2024
    int32_t weekday = -1;
    int32_t yearDay = -1;
    int32_t isDst = -1;
};

inline bool operator==(const DateTime& a, const DateTime& b) {
    return a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.day == b.day &&
           a.month == b.month && a.year == b.year && a.weekday == b.weekday &&
           a.yearDay == b.yearDay && a.isDst == b.isDst;
}
inline bool operator!=(const DateTime& a, const DateTime& b) {
    return !(a == b);
}

// The decoded bytes of a base64 value (any byte values, length counted).
using ByteString = std::string;

// Member names are ordered byte-wise: bytes compared as unsigned values, a proper prefix first.
// (std::char_traits<char> compares like memcmp, i.e. as unsigned char.)
struct MemberNameOrder {
    using is_transparent = void;
    bool operator()(const std::string& a, const std::string& b) const { return a < b; }
    bool operator()(const std::string& a, const char* b) const { return a.compare(b) < 0; }
    bool operator()(const char* a, const std::string& b) const { return b.compare(a) > 0; }
};

class ValueArray;
class MemberMap;

// A tagged XML-RPC value. The all-zero bytes of an XmlRpcValue are a valid Undefined value and
// a value holds no pointer into itself, so arrays move their elements as plain bytes.
class XmlRpcValue {
  public:
    XmlRpcValue() noexcept = default;
    XmlRpcValue(const XmlRpcValue& source);
    XmlRpcValue(XmlRpcValue&& source) noexcept;
    XmlRpcValue& operator=(const XmlRpcValue& source);
    XmlRpcValue& operator=(XmlRpcValue&& source) noexcept;
    ~XmlRpcValue() { clear(); }

    // Frees the payload; the value is Undefined afterwards.
    void clear() noexcept;

    ValueKind kind() const { return kind_; }
    bool valid() const { return kind_ != ValueKind::Undefined; }

    // Text of a String. An Undefined or Nil value first becomes the empty String; any other
    // kind raises "type error". The pointer stays valid until the value next changes.
    const char* stringValue();
    // Text of a String without any conversion; other kinds raise "type error".
    const char* textValue() const;

    // String: text length; Base64: byte count; Array: elements; Struct: members.
    // Other kinds raise "type error".
    int32_t size() const;

    // Element of an Array: "type error: expected an array" when not an array,
    // "range error: array index too large" when index + 1 > size. Never grows the array.
    const XmlRpcValue& element(int32_t index) const;
    XmlRpcValue& element(int32_t index);

    // Member of a Struct, inserted as Undefined when missing. An Undefined value first
    // becomes an empty Struct; other kinds raise "type error: expected a struct".
    XmlRpcValue& member(const char* name);
    XmlRpcValue& member(const std::string& name) { return member(name.c_str()); }

    // ---- setters (each replaces the current content) ----
    void setBoolean(bool b);
    void setInt(int32_t i);
    void setDouble(double d);
    void setString(const char* text);  // copies the text up to its first NUL
    void setString(const std::string& text) { setString(text.c_str()); }
    // Takes over a malloc'd NUL-terminated buffer (it is freed with free()).
    void adoptString(char* mallocText) noexcept;
    void setDateTime(const DateTime& time);
    void setBase64(const void* bytes, size_t count);
    void setBase64(const ByteString& bytes) { setBase64(bytes.data(), bytes.size()); }
    void setBase64(ByteString&& bytes);
    void setNil();
    void setArray();   // empty array: size 0, capacity 0
    void setStruct();  // empty struct

    // ---- array building ----
    // Grows an Array to n elements by the power-of-two rule; new slots are Undefined.
    // Raises "type error: expected an array" when not an array. Never shrinks.
    void resize(int32_t n);
    // Appends one Undefined element (growth rule) and returns it.
    XmlRpcValue& append();
    // Appends a copy of item.
    void append(const XmlRpcValue& item) { append() = item; }
    // Slots allocated for an Array (0 or a power of two); "type error" for other kinds.
    int32_t capacity() const;

    // ---- readers (wrong kind raises "type error") ----
    bool booleanValue() const;
    int32_t intValue() const;
    double doubleValue() const;
    const DateTime& dateTimeValue() const;
    const ByteString& base64Value() const;
    // Members of a Struct in byte-wise name order; "type error: expected a struct" otherwise.
    const MemberMap& members() const;
    MemberMap& members();

  private:
    void copyFrom(const XmlRpcValue& source);
    [[noreturn]] static void raiseTypeError();

    ValueKind kind_ = ValueKind::Undefined;
    union Payload {
        char* text;  // first, so that `= {}` zeroes all eight bytes
        uint8_t boolean;
        int32_t integer;
        double real;
        DateTime* time;
        ByteString* bytes;
        ValueArray* array;
        MemberMap* members;
    } payload_ = {};
};

// Payload of an Array: `capacity` slots (0 or a power of two), the first `size` in use.
class ValueArray {
  public:
    XmlRpcValue* items = nullptr;
    int32_t size = 0;
    int32_t capacity = 0;
};

// Payload of a Struct: unique names in byte-wise order.
class MemberMap : public std::map<std::string, XmlRpcValue, MemberNameOrder> {};
