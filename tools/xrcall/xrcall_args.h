// Command-line parameters of xrcall: "i4:N", "int:N", "double:X", "bool:0|1", "str:TEXT",
// "nil", "b64:BASE64", "dt:YYYYMMDDTHH:MM:SS" or plain TEXT; and the readable form of a result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xmlrpc/core/value.h"

// Parses one PARAM into `value`. Returns false with `error` set for a malformed one.
bool parseParam(const std::string& text, XmlRpcValue& value, std::string& error);

// The parameter list of a call: none, the single parameter, or an array of several.
bool parseParams(const std::vector<std::string>& texts, XmlRpcValue& params, std::string& error);

// A positive number of milliseconds, at most 2147483647, written in decimal.
bool parseMilliseconds(const std::string& text, uint32_t& milliseconds);

// A result as people read it: a top-level string as its bare text, other values in a compact
// notation ("[1, \"a\"]", "{name: value}", true, nil, dt:..., b64:...).
std::string readableValue(const XmlRpcValue& value);
