// dateTime.iso8601 and base64 contents of XML-RPC values.
#pragma once

#include <cstddef>
#include <string>

#include "xmlrpc/core/value.h"

class TextWriter;

// Reads "%4d%2d%2dT%2d:%2d:%2d" at the cursor into a DateTime value and leaves the cursor on
// the next '<'. Raises "Bad time value".
void readDateTime(XmlRpcValue& value, const char*& cursor);
// Appends "<value><dateTime.iso8601>YYYYMMDDTHH:MM:SS</dateTime.iso8601></value>".
void writeDateTime(const XmlRpcValue& value, std::string& out);
void writeDateTime(const XmlRpcValue& value, TextWriter& out);

// Appends the bytes decoded from [start, end) to `bytes`; ignores non-alphabet bytes and stops
// at the first '=' or at an incomplete final group. Never fails.
void decodeBase64(const char* start, const char* end, ByteString& bytes);
// Encodes bytes, a line feed after every 72 characters.
std::string encodeBase64(const void* bytes, size_t count);
// Reads the base64 text up to the next '<' into a Base64 value; raises "Bad base64".
void readBase64(XmlRpcValue& value, const char*& cursor);
// Appends "<value><base64>...</base64></value>".
void writeBase64(const XmlRpcValue& value, std::string& out);
void writeBase64(const XmlRpcValue& value, TextWriter& out);
