// Value model: deep copies, kind checks, power-of-two array growth with byte moves.
#include "xmlrpc/core/value.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

[[noreturn]] void raise(const char* text) {
    throw XmlRpcException(text);
}

void* allocateOrThrow(size_t bytes) {
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

char* duplicateText(const char* text) {
    size_t length = std::strlen(text);
    char* copy = static_cast<char*>(allocateOrThrow(length + 1));
    std::memcpy(copy, text, length + 1);
    return copy;
}

// Smallest power of two not below n (0 for 0): every bit below the highest set bit of n - 1
// is set, then one is added.
uint32_t roundUpToPowerOfTwo(uint32_t n) {
    uint32_t v = n - 1;
    v |= v >> 1;
    v |= v >> 2;
    v |= v >> 4;
    v |= v >> 8;
    v |= v >> 16;
    return v + 1;
}

// Array growth: makes room for n elements, moving the old elements as plain bytes and filling
// new slots with zero bytes (Undefined values).
void growArray(ValueArray& array, int32_t n) {
    if (n >= array.capacity) {
        uint32_t capacity = roundUpToPowerOfTwo(static_cast<uint32_t>(n));
        if (capacity > 0x40000000u) {
            throw std::bad_alloc();
        }
        if (static_cast<int32_t>(capacity) != array.capacity) {
            void* block =
                std::realloc(static_cast<void*>(array.items), capacity * sizeof(XmlRpcValue));
            if (block == nullptr) {
                throw std::bad_alloc();
            }
            array.items = static_cast<XmlRpcValue*>(block);
            std::memset(static_cast<void*>(array.items + array.capacity), 0,
                        (capacity - array.capacity) * sizeof(XmlRpcValue));
            array.capacity = static_cast<int32_t>(capacity);
        }
    }
    array.size = n;
}

bool isContainer(ValueKind kind) {
    return kind == ValueKind::Array || kind == ValueKind::Struct;
}

void destroyArray(ValueArray* array) noexcept {
    for (int32_t i = 0; i < array->size; ++i) {
        array->items[i].clear();
    }
    std::free(static_cast<void*>(array->items));
    delete array;
}

}  // namespace

void XmlRpcValue::raiseTypeError() {
    raise("type error");
}

XmlRpcValue::XmlRpcValue(const XmlRpcValue& source) {
    copyFrom(source);
}

XmlRpcValue::XmlRpcValue(XmlRpcValue&& source) noexcept
    : kind_(source.kind_), payload_(source.payload_) {
    source.kind_ = ValueKind::Undefined;
    source.payload_.text = nullptr;
}

XmlRpcValue& XmlRpcValue::operator=(const XmlRpcValue& source) {
    if (&source == this) {
        return *this;
    }
    if (isContainer(kind_) || isContainer(source.kind_)) {
        // One may live inside the other (an element assigned its own array, or an array
        // assigned one of its elements): copy first, then replace.
        XmlRpcValue copy(source);
        *this = std::move(copy);
    } else {
        clear();
        copyFrom(source);
    }
    return *this;
}

XmlRpcValue& XmlRpcValue::operator=(XmlRpcValue&& source) noexcept {
    if (&source != this) {
        clear();
        kind_ = source.kind_;
        payload_ = source.payload_;
        source.kind_ = ValueKind::Undefined;
        source.payload_.text = nullptr;
    }
    return *this;
}

// Copies into an Undefined target. The kind is set only once the payload exists, so a failed
// allocation leaves the target Undefined (an array copy keeps the elements copied so far).
void XmlRpcValue::copyFrom(const XmlRpcValue& source) {
    switch (source.kind_) {
        case ValueKind::Undefined:
        case ValueKind::Nil:
        case ValueKind::Boolean:
        case ValueKind::Int:
        case ValueKind::Double:
            payload_ = source.payload_;
            break;
        case ValueKind::String:
            payload_.text = duplicateText(source.payload_.text);
            break;
        case ValueKind::DateTime:
            payload_.time = new DateTime(*source.payload_.time);
            break;
        case ValueKind::Base64:
            payload_.bytes = new ByteString(*source.payload_.bytes);
            break;
        case ValueKind::Array: {
            payload_.array = new ValueArray();
            kind_ = ValueKind::Array;
            const ValueArray& from = *source.payload_.array;
            growArray(*payload_.array, from.size);
            for (int32_t i = 0; i < from.size; ++i) {
                payload_.array->items[i] = from.items[i];
            }
            return;
        }
        case ValueKind::Struct:
            payload_.members = new MemberMap(*source.payload_.members);
            break;
    }
    kind_ = source.kind_;
}

void XmlRpcValue::clear() noexcept {
    switch (kind_) {
        case ValueKind::String:
            std::free(payload_.text);
            break;
        case ValueKind::DateTime:
            delete payload_.time;
            break;
        case ValueKind::Base64:
            delete payload_.bytes;
            break;
        case ValueKind::Array:
            destroyArray(payload_.array);
            break;
        case ValueKind::Struct:
            delete payload_.members;
            break;
        default:
            break;
    }
    kind_ = ValueKind::Undefined;
    payload_.text = nullptr;
}

const char* XmlRpcValue::stringValue() {
    if (kind_ == ValueKind::Undefined || kind_ == ValueKind::Nil) {
        char* empty = static_cast<char*>(allocateOrThrow(1));
        empty[0] = '\0';
        adoptString(empty);
    }
    return textValue();
}

const char* XmlRpcValue::textValue() const {
    if (kind_ != ValueKind::String) {
        raiseTypeError();
    }
    return payload_.text;
}

int32_t XmlRpcValue::size() const {
    switch (kind_) {
        case ValueKind::String:
            return static_cast<int32_t>(std::strlen(payload_.text));
        case ValueKind::Base64:
            return static_cast<int32_t>(payload_.bytes->size());
        case ValueKind::Array:
            return payload_.array->size;
        case ValueKind::Struct:
            return static_cast<int32_t>(payload_.members->size());
        default:
            raiseTypeError();
    }
}

const XmlRpcValue& XmlRpcValue::element(int32_t index) const {
    if (kind_ != ValueKind::Array) {
        raise("type error: expected an array");
    }
    if (index < 0 || payload_.array->size < index + 1) {
        raise("range error: array index too large");
    }
    return payload_.array->items[index];
}

XmlRpcValue& XmlRpcValue::element(int32_t index) {
    return const_cast<XmlRpcValue&>(static_cast<const XmlRpcValue*>(this)->element(index));
}

XmlRpcValue& XmlRpcValue::member(const char* name) {
    if (kind_ == ValueKind::Undefined) {
        setStruct();
    } else if (kind_ != ValueKind::Struct) {
        raise("type error: expected a struct");
    }
    MemberMap& map = *payload_.members;
    auto found = map.find(name);
    if (found != map.end()) {
        return found->second;
    }
    return map.emplace(std::string(name), XmlRpcValue()).first->second;
}

void XmlRpcValue::setBoolean(bool b) {
    clear();
    kind_ = ValueKind::Boolean;
    payload_.boolean = b ? 1 : 0;
}

void XmlRpcValue::setInt(int32_t i) {
    clear();
    kind_ = ValueKind::Int;
    payload_.integer = i;
}

void XmlRpcValue::setDouble(double d) {
    clear();
    kind_ = ValueKind::Double;
    payload_.real = d;
}

void XmlRpcValue::setString(const char* text) {
    char* copy = duplicateText(text);  // before clear: text may live inside this value
    adoptString(copy);
}

void XmlRpcValue::adoptString(char* mallocText) noexcept {
    clear();
    kind_ = ValueKind::String;
    payload_.text = mallocText;
}

void XmlRpcValue::setDateTime(const DateTime& time) {
    DateTime* record = new DateTime(time);
    clear();
    kind_ = ValueKind::DateTime;
    payload_.time = record;
}

void XmlRpcValue::setBase64(const void* bytes, size_t count) {
    ByteString* copy = new ByteString(static_cast<const char*>(bytes), count);
    clear();
    kind_ = ValueKind::Base64;
    payload_.bytes = copy;
}

void XmlRpcValue::setBase64(ByteString&& bytes) {
    ByteString* taken = new ByteString(std::move(bytes));
    clear();
    kind_ = ValueKind::Base64;
    payload_.bytes = taken;
}

void XmlRpcValue::setNil() {
    clear();
    kind_ = ValueKind::Nil;
}

void XmlRpcValue::setArray() {
    ValueArray* array = new ValueArray();
    clear();
    kind_ = ValueKind::Array;
    payload_.array = array;
}

void XmlRpcValue::setStruct() {
    MemberMap* map = new MemberMap();
    clear();
    kind_ = ValueKind::Struct;
    payload_.members = map;
}

void XmlRpcValue::resize(int32_t n) {
    if (kind_ != ValueKind::Array) {
        raise("type error: expected an array");
    }
    if (n > payload_.array->size) {
        growArray(*payload_.array, n);
    }
}

XmlRpcValue& XmlRpcValue::append() {
    if (kind_ != ValueKind::Array) {
        raise("type error: expected an array");
    }
    ValueArray& array = *payload_.array;
    growArray(array, array.size + 1);
    return array.items[array.size - 1];
}

int32_t XmlRpcValue::capacity() const {
    if (kind_ != ValueKind::Array) {
        raiseTypeError();
    }
    return payload_.array->capacity;
}

bool XmlRpcValue::booleanValue() const {
    if (kind_ != ValueKind::Boolean) {
        raiseTypeError();
    }
    return payload_.boolean != 0;
}

int32_t XmlRpcValue::intValue() const {
    if (kind_ != ValueKind::Int) {
        raiseTypeError();
    }
    return payload_.integer;
}

double XmlRpcValue::doubleValue() const {
    if (kind_ != ValueKind::Double) {
        raiseTypeError();
    }
    return payload_.real;
}

const DateTime& XmlRpcValue::dateTimeValue() const {
    if (kind_ != ValueKind::DateTime) {
        raiseTypeError();
    }
    return *payload_.time;
}

const ByteString& XmlRpcValue::base64Value() const {
    if (kind_ != ValueKind::Base64) {
        raiseTypeError();
    }
    return *payload_.bytes;
}

const MemberMap& XmlRpcValue::members() const {
    if (kind_ != ValueKind::Struct) {
        raise("type error: expected a struct");
    }
    return *payload_.members;
}

MemberMap& XmlRpcValue::members() {
    return const_cast<MemberMap&>(static_cast<const XmlRpcValue*>(this)->members());
}
