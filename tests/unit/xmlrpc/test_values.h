// Helpers for the core tests: building values tersely and describing them independently of
// the encoder under test.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "xmlrpc/core/value.h"

inline XmlRpcValue Int(int32_t i) {
    XmlRpcValue v;
    v.setInt(i);
    return v;
}
inline XmlRpcValue Bool(bool b) {
    XmlRpcValue v;
    v.setBoolean(b);
    return v;
}
inline XmlRpcValue Dbl(double d) {
    XmlRpcValue v;
    v.setDouble(d);
    return v;
}
inline XmlRpcValue Str(const char* s) {
    XmlRpcValue v;
    v.setString(s);
    return v;
}
inline XmlRpcValue Nil() {
    XmlRpcValue v;
    v.setNil();
    return v;
}
inline XmlRpcValue Bytes(const std::string& b) {
    XmlRpcValue v;
    v.setBase64(b);
    return v;
}
inline XmlRpcValue Time(int year, int month0, int day, int hour, int minute, int second) {
    DateTime t;
    t.year = year;
    t.month = month0;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    XmlRpcValue v;
    v.setDateTime(t);
    return v;
}
inline XmlRpcValue Arr(std::initializer_list<XmlRpcValue> items) {
    XmlRpcValue v;
    v.setArray();
    for (const XmlRpcValue& item : items) {
        v.append(item);
    }
    return v;
}
inline XmlRpcValue Rec(std::initializer_list<std::pair<const char*, XmlRpcValue>> members) {
    XmlRpcValue v;
    v.setStruct();
    for (const auto& m : members) {
        v.member(m.first) = m.second;
    }
    return v;
}

// A compact, unambiguous description: undef, nil, b:1, i:7, d:2.5, s"abc", t:2024-2-15 8:45:30
// (month as stored, weekday/yearday/dst appended when not -1), b64"..." , [a,b], {name=v,...}.
inline std::string describe(const XmlRpcValue& v) {
    switch (v.kind()) {
        case ValueKind::Undefined:
            return "undef";
        case ValueKind::Nil:
            return "nil";
        case ValueKind::Boolean:
            return v.booleanValue() ? "b:1" : "b:0";
        case ValueKind::Int:
            return "i:" + std::to_string(v.intValue());
        case ValueKind::Double: {
            char buffer[64];
            snprintf(buffer, sizeof buffer, "d:%.17g", v.doubleValue());
            return buffer;
        }
        case ValueKind::String:
            return std::string("s\"") + v.textValue() + "\"";
        case ValueKind::DateTime: {
            const DateTime& t = v.dateTimeValue();
            std::string s = "t:" + std::to_string(t.year) + "-" + std::to_string(t.month) + "-" +
                            std::to_string(t.day) + " " + std::to_string(t.hour) + ":" +
                            std::to_string(t.minute) + ":" + std::to_string(t.second);
            if (t.weekday != -1 || t.yearDay != -1 || t.isDst != -1) {
                s += " extra";
            }
            return s;
        }
        case ValueKind::Base64:
            return "b64\"" + v.base64Value() + "\"";
        case ValueKind::Array: {
            std::string s = "[";
            for (int32_t i = 0; i < v.size(); ++i) {
                s += (i ? "," : "") + describe(v.element(i));
            }
            return s + "]";
        }
        case ValueKind::Struct: {
            std::string s = "{";
            bool first = true;
            for (const auto& m : v.members()) {
                s += (first ? "" : ",") + m.first + "=" + describe(m.second);
                first = false;
            }
            return s + "}";
        }
    }
    return "?";
}

// Runs `action` and returns the XmlRpcException message, or "no exception".
template <typename Action>
std::string raisedMessage(Action action) {
    try {
        action();
    } catch (const XmlRpcException& e) {
        return e.message;
    }
    return "no exception";
}
