// readValue: one forward pass over the text, recursion per nesting level.
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "xmlrpc/char_class.h"
#include "xmlrpc/codecs.h"
#include "xmlrpc/numbers.h"
#include "xmlrpc/scanner.h"
#include "xmlrpc/value_io.h"

using charclass::equalsIgnoreCase;
using charclass::skipBlanks;

namespace {

[[noreturn]] void raise(const char* text) {
    throw XmlRpcException(text);
}

void readValueAt(XmlRpcValue& value, const char*& cursor, int depth);

void setEmptyString(XmlRpcValue& value) {
    char* empty = static_cast<char*>(std::malloc(1));
    if (empty == nullptr) {
        throw std::bad_alloc();
    }
    empty[0] = '\0';
    value.adoptString(empty);
}

void readBoolean(XmlRpcValue& value, const char*& cursor) {
    char digit = cursor[0];
    if ((digit != '0' && digit != '1') || cursor[1] != '<') {
        raise("bad BOOL");
    }
    value.setBoolean(digit == '1');
    ++cursor;
}

void readInt(XmlRpcValue& value, const char*& cursor) {
    int32_t number;
    const char* stop;
    if (!parseLong32(cursor, nullptr, &stop, &number)) {
        raise("Bad int");
    }
    value.setInt(number);
    cursor = stop;
}

void readDouble(XmlRpcValue& value, const char*& cursor) {
    double number;
    const char* stop;
    if (!parseDouble(cursor, &stop, &number)) {
        raise("Bad double");
    }
    value.setDouble(number);
    cursor = stop;
}

// Character data up to the next '<'; the string takes over the decoded buffer.
void readText(XmlRpcValue& value, const char*& cursor) {
    const char* close = std::strchr(cursor, '<');
    if (close == nullptr) {
        raise("Bad string");
    }
    value.adoptString(decodeEntities(cursor, close));
    cursor = close;
}

void readArray(XmlRpcValue& value, const char*& cursor, int depth) {
    value.setArray();
    char tag[TagBufferSize];
    readTag(cursor, tag);
    if (equalsIgnoreCase(tag, "<data/>")) {
        return;
    }
    if (!equalsIgnoreCase(tag, "<data>")) {
        raise("Expecting tag:  <data>");
    }
    for (;;) {
        cursor = skipBlanks(cursor);
        if (std::strncmp(cursor, "</data>", 7) == 0) {
            expectTag(cursor, "</data>");
            return;
        }
        readValueAt(value.append(), cursor, depth + 1);
    }
}

void readStruct(XmlRpcValue& value, const char*& cursor, int depth) {
    value.setStruct();
    MemberMap& members = value.members();
    cursor = skipBlanks(cursor);
    while (std::strncmp(cursor, "<member>", 8) == 0) {
        cursor += 8;
        expectTag(cursor, "<name>");
        const char* close = std::strchr(cursor, '<');
        if (close == nullptr) {
            raise("Bad 'name' tag in struct");
        }
        std::string name(static_cast<size_t>(close - cursor), '\0');
        name.resize(decodeEntitiesInto(&name[0], cursor, close));
        cursor = close;
        expectTag(cursor, "</name>");
        XmlRpcValue member;
        readValueAt(member, cursor, depth + 1);
        // The first member of a name wins; later ones are read and dropped.
        members.try_emplace(members.end(), std::move(name), std::move(member));
        expectTag(cursor, "</member>");
        cursor = skipBlanks(cursor);
    }
}

void checkNesting(int depth) {
    if (depth >= MaxValueNesting) {
        raise("Nesting too deep");
    }
}

[[noreturn]] void raiseUnknownType(const char* tag) {
    throw XmlRpcException(std::string("Unknown type tag: ") + tag);
}

// The content of a <value> after its type tag; returns false when the type tag was "</value>"
// (nothing more to read).
bool readTyped(XmlRpcValue& value, const char*& cursor, const char* tag, int depth) {
    switch (charclass::lower(tag[1])) {
        case 'b':
            if (equalsIgnoreCase(tag, "<boolean>")) {
                readBoolean(value, cursor);
                expectTag(cursor, "</boolean>");
                return true;
            }
            if (equalsIgnoreCase(tag, "<base64>")) {
                readBase64(value, cursor);
                expectTag(cursor, "</base64>");
                return true;
            }
            break;
        case 'i':
            if (equalsIgnoreCase(tag, "<i4>")) {
                readInt(value, cursor);
                expectTag(cursor, "</i4>");
                return true;
            }
            if (equalsIgnoreCase(tag, "<int>")) {
                readInt(value, cursor);
                expectTag(cursor, "</int>");
                return true;
            }
            break;
        case 'd':
            if (equalsIgnoreCase(tag, "<double>")) {
                readDouble(value, cursor);
                expectTag(cursor, "</double>");
                return true;
            }
            if (equalsIgnoreCase(tag, "<dateTime.iso8601>")) {
                readDateTime(value, cursor);
                expectTag(cursor, "</dateTime.iso8601>");
                return true;
            }
            break;
        case 's':
            if (equalsIgnoreCase(tag, "<string>")) {
                readText(value, cursor);
                expectTag(cursor, "</string>");
                return true;
            }
            if (equalsIgnoreCase(tag, "<struct>")) {
                checkNesting(depth);
                readStruct(value, cursor, depth);
                expectTag(cursor, "</struct>");
                return true;
            }
            if (equalsIgnoreCase(tag, "<string/>")) {
                setEmptyString(value);
                return true;
            }
            if (equalsIgnoreCase(tag, "<struct/>")) {
                value.setStruct();
                return true;
            }
            break;
        case 'a':
            if (equalsIgnoreCase(tag, "<array>")) {
                checkNesting(depth);
                readArray(value, cursor, depth);
                expectTag(cursor, "</array>");
                return true;
            }
            break;
        case 'n':
            if (equalsIgnoreCase(tag, "<nil/>")) {
                value.setNil();
                return true;
            }
            break;
        case '/':
            if (equalsIgnoreCase(tag, "</value>")) {
                setEmptyString(value);
                return false;
            }
            break;
        default:
            break;
    }
    raiseUnknownType(tag);
}

void readValueAt(XmlRpcValue& value, const char*& cursor, int depth) {
    value.clear();
    char tag[TagBufferSize];
    readTag(cursor, tag);
    if (!equalsIgnoreCase(tag, "<value>")) {
        if (equalsIgnoreCase(tag, "<value/>")) {
            setEmptyString(value);
            return;
        }
        raise("Expecting tag: <value>");
    }
    readTag(cursor, tag);
    if (tag[0] == '\0') {
        readText(value, cursor);  // a string written as bare text
    } else if (!readTyped(value, cursor, tag, depth)) {
        return;
    }
    expectTag(cursor, "</value>");
}

}  // namespace

void readValue(XmlRpcValue& value, const char*& cursor) {
    readValueAt(value, cursor, 0);
}
