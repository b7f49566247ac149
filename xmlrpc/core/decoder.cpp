// readValue: one forward pass over the text, recursion per nesting level.
//
// The hot paths compare tags written exactly as expected (the usual case) with bounded memcmp
// against the known end of the text; anything else goes through the tag reader, which
// normalises blanks and letter case, so both paths accept the same texts.
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "base/char_class.h"
#include "xmlrpc/core/codecs.h"
#include "xmlrpc/core/numbers.h"
#include "xmlrpc/core/scanner.h"
#include "xmlrpc/core/value_io.h"

using charclass::equalsIgnoreCase;
using charclass::skipBlanks;

namespace {

[[noreturn]] void raise(const char* text) {
    throw XmlRpcException(text);
}

enum class TypeTag {
    Boolean,
    I4,
    Int,
    Double,
    String,
    DateTime,
    Base64,
    Array,
    Struct,
    EmptyString,
    Nil,
    EmptyStruct,
    ValueEnd,
};

struct TypeTagEntry {
    const char* text;
    TypeTag tag;
};

constexpr TypeTagEntry typeTags[] = {
    {"<boolean>", TypeTag::Boolean}, {"<i4>", TypeTag::I4},
    {"<int>", TypeTag::Int},         {"<double>", TypeTag::Double},
    {"<string>", TypeTag::String},   {"<dateTime.iso8601>", TypeTag::DateTime},
    {"<base64>", TypeTag::Base64},   {"<array>", TypeTag::Array},
    {"<struct>", TypeTag::Struct},   {"<string/>", TypeTag::EmptyString},
    {"<nil/>", TypeTag::Nil},        {"<struct/>", TypeTag::EmptyStruct},
    {"</value>", TypeTag::ValueEnd},
};

class ValueReader {
  public:
    ValueReader(const char*& cursor, const char* end) : cursor_(cursor), end_(end) {}

    void readValue(XmlRpcValue& value, int depth) {
        value.clear();
        if (!takeExact("<value>")) {
            char tag[TagBufferSize];
            readTag(cursor_, tag);
            if (!equalsIgnoreCase(tag, "<value>")) {
                if (equalsIgnoreCase(tag, "<value/>")) {
                    setEmptyString(value);
                    return;
                }
                raise("Expecting tag: <value>");
            }
        }
        cursor_ = skipBlanks(cursor_);
        if (*cursor_ != '<') {
            readText(value);  // a string written as bare text
        } else if (!readTyped(value, readTypeTag(), depth)) {
            return;  // "</value>" was the type tag
        }
        expect("</value>");
    }

  private:
    template <size_t N>
    bool takeExact(const char (&tag)[N]) {
        return charclass::takeExactTag(cursor_, end_, tag);
    }

    template <size_t N>
    void expect(const char (&tag)[N]) {
        if (!takeExact(tag)) {
            expectTag(cursor_, tag);
        }
    }

    // The type tag at the cursor (which stands on '<'); raises for an unknown one.
    TypeTag readTypeTag() {
        TypeTag tag;
        if (takeExactTypeTag(tag)) {
            return tag;
        }
        char text[TagBufferSize];
        readTag(cursor_, text);
        for (const TypeTagEntry& entry : typeTags) {
            if (equalsIgnoreCase(text, entry.text)) {
                return entry.tag;
            }
        }
        throw XmlRpcException(std::string("Unknown type tag: ") + text);
    }

    // A type tag written exactly as the table has it.
    bool takeExactTypeTag(TypeTag& tag) {
        auto take = [&](const auto& literal, TypeTag found) {
            if (charclass::takeExactTag(cursor_, end_, literal)) {
                tag = found;
                return true;
            }
            return false;
        };
        switch (cursor_[1]) {
            case 's':
                return take("<string>", TypeTag::String) || take("<struct>", TypeTag::Struct) ||
                       take("<string/>", TypeTag::EmptyString) ||
                       take("<struct/>", TypeTag::EmptyStruct);
            case 'i':
                return take("<i4>", TypeTag::I4) || take("<int>", TypeTag::Int);
            case 'd':
                return take("<double>", TypeTag::Double) ||
                       take("<dateTime.iso8601>", TypeTag::DateTime);
            case 'b':
                return take("<boolean>", TypeTag::Boolean) || take("<base64>", TypeTag::Base64);
            case 'a':
                return take("<array>", TypeTag::Array);
            case 'n':
                return take("<nil/>", TypeTag::Nil);
            case '/':
                return take("</value>", TypeTag::ValueEnd);
            default:
                return false;
        }
    }

    // Reads the content after the type tag and its closing tag; false after "</value>".
    bool readTyped(XmlRpcValue& value, TypeTag tag, int depth) {
        switch (tag) {
            case TypeTag::Boolean:
                readBoolean(value);
                expect("</boolean>");
                return true;
            case TypeTag::I4:
                readInt(value);
                expect("</i4>");
                return true;
            case TypeTag::Int:
                readInt(value);
                expect("</int>");
                return true;
            case TypeTag::Double:
                readDouble(value);
                expect("</double>");
                return true;
            case TypeTag::String:
                readText(value);
                expect("</string>");
                return true;
            case TypeTag::DateTime:
                readDateTime(value, cursor_);
                expect("</dateTime.iso8601>");
                return true;
            case TypeTag::Base64:
                readBase64(value, cursor_);
                expect("</base64>");
                return true;
            case TypeTag::Array:
                checkNesting(depth);
                readArray(value, depth);
                expect("</array>");
                return true;
            case TypeTag::Struct:
                checkNesting(depth);
                readStruct(value, depth);
                expect("</struct>");
                return true;
            case TypeTag::EmptyString:
                setEmptyString(value);
                return true;
            case TypeTag::Nil:
                value.setNil();
                return true;
            case TypeTag::EmptyStruct:
                value.setStruct();
                return true;
            case TypeTag::ValueEnd:
                setEmptyString(value);
                return false;
        }
        return true;
    }

    static void checkNesting(int depth) {
        if (depth >= MaxValueNesting) {
            raise("Nesting too deep");
        }
    }

    static void setEmptyString(XmlRpcValue& value) {
        char* empty = static_cast<char*>(std::malloc(1));
        if (empty == nullptr) {
            throw std::bad_alloc();
        }
        empty[0] = '\0';
        value.adoptString(empty);
    }

    // A lone '0' or '1' directly followed by '<'.
    void readBoolean(XmlRpcValue& value) {
        char digit = cursor_[0];
        if ((digit != '0' && digit != '1') || cursor_[1] != '<') {
            raise("bad BOOL");
        }
        value.setBoolean(digit == '1');
        ++cursor_;
    }

    void readInt(XmlRpcValue& value) {
        int32_t number;
        const char* stop;
        if (!parseLong32(cursor_, nullptr, &stop, &number)) {
            raise("Bad int");
        }
        value.setInt(number);
        cursor_ = stop;
    }

    void readDouble(XmlRpcValue& value) {
        double number;
        const char* stop;
        if (!parseStrtodDouble(cursor_, &stop, &number)) {
            raise("Bad double");
        }
        value.setDouble(number);
        cursor_ = stop;
    }

    const char* nextTagStart() const {
        return static_cast<const char*>(
            std::memchr(cursor_, '<', static_cast<size_t>(end_ - cursor_)));
    }

    // Character data up to the next '<'; the string takes over the decoded buffer.
    void readText(XmlRpcValue& value) {
        const char* close = nextTagStart();
        if (close == nullptr) {
            raise("Bad string");
        }
        value.adoptString(decodeEntities(cursor_, close));
        cursor_ = close;
    }

    void readArray(XmlRpcValue& value, int depth) {
        value.setArray();
        if (!takeExact("<data>")) {
            char tag[TagBufferSize];
            readTag(cursor_, tag);
            if (equalsIgnoreCase(tag, "<data/>")) {
                return;
            }
            if (!equalsIgnoreCase(tag, "<data>")) {
                raise("Expecting tag:  <data>");
            }
        }
        for (;;) {
            // Only "</data>" in exactly this form ends the elements.
            if (takeExact("</data>")) {
                return;
            }
            readValue(value.append(), depth + 1);
        }
    }

    void readStruct(XmlRpcValue& value, int depth) {
        value.setStruct();
        MemberMap& members = value.members();
        // Only "<member>" in exactly this form starts a member.
        while (takeExact("<member>")) {
            expect("<name>");
            const char* close = nextTagStart();
            if (close == nullptr) {
                raise("Bad 'name' tag in struct");
            }
            std::string name(static_cast<size_t>(close - cursor_), '\0');
            name.resize(decodeEntitiesInto(&name[0], cursor_, close));
            cursor_ = close;
            expect("</name>");
            XmlRpcValue member;
            readValue(member, depth + 1);
            // The first member of a name wins; later ones are read and dropped.
            members.try_emplace(members.end(), std::move(name), std::move(member));
            expect("</member>");
        }
        cursor_ = skipBlanks(cursor_);
    }

    const char*& cursor_;
    const char* const end_;
};

}  // namespace

void readValue(XmlRpcValue& value, const char*& cursor, const char* textEnd) {
    ValueReader(cursor, textEnd).readValue(value, 0);
}

void readValue(XmlRpcValue& value, const char*& cursor) {
    readValue(value, cursor, cursor + std::strlen(cursor));
}
