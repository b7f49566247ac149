#include "app/poll/adif_records.h"

#include <cstdint>

#include "base/char_class.h"

namespace pollcycle {
namespace {

using charclass::isCSpace;
using charclass::isDigit;

// Lengths beyond this are damage, not data.
constexpr std::size_t kMaxFieldLength = 1u << 24;

enum class TagKind { Field, EndOfRecord, EndOfHeader, Other, Damaged, Unfinished };

struct Tag {
    TagKind kind = TagKind::Other;
    std::string name;
    std::size_t valueStart = 0;
    std::size_t valueLength = 0;
};

bool isNameChar(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - ('a' - 'A'));
        }
    }
    return result;
}

// The length and optional type after the name's ':', up to and including '>'.
TagKind readLength(std::string_view text, std::size_t& i, std::size_t& length) {
    const std::size_t digits = i;
    length = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        length = length * 10 + static_cast<std::size_t>(text[i] - '0');
        if (length > kMaxFieldLength) {
            return TagKind::Damaged;
        }
    }
    if (i == digits) {
        return i == text.size() ? TagKind::Unfinished : TagKind::Damaged;
    }
    if (i < text.size() && text[i] == ':') {  // data type indicator
        ++i;
        while (i < text.size() && isNameChar(text[i])) {
            ++i;
        }
    }
    if (i == text.size()) {
        return TagKind::Unfinished;
    }
    return text[i++] == '>' ? TagKind::Field : TagKind::Damaged;
}

// The tag whose '<' is at `start`; `next` is set past it (and past a field's value).
Tag readTag(std::string_view text, std::size_t start, std::size_t& next) {
    Tag tag;
    std::size_t i = start + 1;
    while (i < text.size() && isNameChar(text[i])) {
        ++i;
    }
    tag.name = upper(text.substr(start + 1, i - start - 1));
    if (i == text.size()) {
        tag.kind = TagKind::Unfinished;
    } else if (tag.name.empty() || (text[i] != '>' && text[i] != ':')) {
        tag.kind = TagKind::Damaged;
    } else if (text[i] == '>') {
        tag.kind = tag.name == "EOR"   ? TagKind::EndOfRecord
                   : tag.name == "EOH" ? TagKind::EndOfHeader
                                       : TagKind::Other;
        ++i;
    } else {
        ++i;
        tag.kind = readLength(text, i, tag.valueLength);
        tag.valueStart = i;
        if (tag.kind == TagKind::Field) {
            if (text.size() - i < tag.valueLength) {
                tag.kind = TagKind::Unfinished;
            } else {
                i += tag.valueLength;
            }
        }
    }
    next = i;
    return tag;
}

// Offset just past the first "<EOR>" (any case) at or after `from`; npos when there is none.
std::size_t pastNextEndOfRecord(std::string_view text, std::size_t from) {
    for (std::size_t i = text.find('<', from); i != std::string_view::npos;
         i = text.find('<', i + 1)) {
        if (text.size() - i >= 5 && upper(text.substr(i, 5)) == "<EOR>") {
            return i + 5;
        }
    }
    return std::string_view::npos;
}

// Offset just past the first "<EOR>" in `value` that ends a line, as each record in the marker
// does; npos when there is none. A value may hold "<EOR>" as text, but not a record's end.
std::size_t endOfRecordAndLine(std::string_view value) {
    for (std::size_t end = pastNextEndOfRecord(value, 0); end != std::string_view::npos;
         end = pastNextEndOfRecord(value, end)) {
        if (end < value.size() && (value[end] == '\n' || value[end] == '\r')) {
            return end;
        }
    }
    return std::string_view::npos;
}

bool onlyWhiteSpace(std::string_view text) {
    for (const char c : text) {
        if (!isCSpace(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

const std::string* AdifRecord::field(const std::string& name) const {
    const auto found = fields.find(name);
    return found != fields.end() ? &found->second : nullptr;
}

AdifRecords readAdifRecords(std::string_view text) {
    AdifRecords result;
    std::size_t pos = 0;
    AdifRecord record;
    std::size_t recordStart = pos;
    bool afterField = false;  // the last tag was a field with its value
    while (pos < text.size()) {
        const std::size_t open = text.find('<', pos);
        if (open == std::string_view::npos) {
            break;
        }
        std::size_t next = open;
        Tag tag = readTag(text, open, next);
        if (tag.kind == TagKind::Unfinished || tag.kind == TagKind::Damaged) {
            // An "<EOR>" further on: the tag or its length is wrong, not still being written.
            next = pastNextEndOfRecord(text, open + 1);
            if (next == std::string_view::npos) {
                break;
            }
            record.damaged = true;
            tag.kind = TagKind::EndOfRecord;
        }
        if (afterField && !onlyWhiteSpace(text.substr(pos, open - pos))) {
            record.damaged = true;  // the previous field's length fell short of its value
        }
        afterField = tag.kind == TagKind::Field;
        pos = next;
        if (tag.kind == TagKind::Field) {
            const std::string_view value = text.substr(tag.valueStart, tag.valueLength);
            const std::size_t overrun = endOfRecordAndLine(value);
            if (overrun != std::string_view::npos) {
                // The length ran over the end of the record: the record ends there.
                record.damaged = true;
                pos = tag.valueStart + overrun;
                tag.kind = TagKind::EndOfRecord;
            } else if (!record.fields.emplace(tag.name, std::string(value)).second) {
                // A field twice: a record cut short ran into the next one. Never merged.
                record.damaged = true;
            }
        }
        if (tag.kind == TagKind::EndOfRecord) {
            record.begin = recordStart;
            record.end = pos;
            result.records.push_back(std::move(record));
            record = AdifRecord();
            recordStart = pos;
        } else if (tag.kind == TagKind::EndOfHeader) {
            record = AdifRecord();
            recordStart = pos;
        }
    }
    return result;
}

}  // namespace pollcycle
