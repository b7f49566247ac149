// XML text of one value element in both directions.
#pragma once

#include <string>

#include "xmlrpc/core/value.h"

// Arrays and structs nested deeper than this inside one value raise "Nesting too deep".
constexpr int MaxValueNesting = 256;

// Decodes one <value> element at the cursor into `value` (replaced) and leaves the cursor just
// past its end. Raises XmlRpcException; the value is then still consistent (clearable).
void readValue(XmlRpcValue& value, const char*& cursor);
// The same, for a caller that knows where the text ends: `textEnd` points to its terminating NUL.
void readValue(XmlRpcValue& value, const char*& cursor, const char* textEnd);

// Appends the XML text of `value`; raises "Undefined XmlRpc value" on an Undefined value
// anywhere inside it (the text written up to that point stays in `out`).
void writeValue(const XmlRpcValue& value, std::string& out);
