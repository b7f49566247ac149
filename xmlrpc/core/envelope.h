// methodCall and methodResponse envelope around XML-RPC values.
#pragma once

#include <string>

#include "xmlrpc/core/value.h"
#include "xmlrpc/core/value_io.h"

// Appends the methodCall text. `params`: Undefined = no parameters, Array = one parameter per
// element, anything else = one parameter. `methodName` is written without escaping.
void writeMethodCall(std::string& out, const char* methodName, const XmlRpcValue& params);

// Reads a NUL-terminated methodResponse into `result`. Returns true for a normal response,
// false for a fault (then `result` holds the fault value). Raises XmlRpcException.
bool readMethodResponse(const char* responseText, XmlRpcValue& result);

// Error text of a fault value: its "faultString" member when that is a String, otherwise
// "unspecified error". Raises "type error: expected a struct" for a result that is neither a
// struct nor Undefined. Leaves `result` unchanged.
std::string faultText(const XmlRpcValue& result);
