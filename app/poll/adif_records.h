// The records of an ADIF text, as fldigi writes them into its contact marker file: one
// "<NAME:length>value" pair per field, "<EOR>" after each record.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pollcycle {

struct AdifRecord {
    // Field names in upper case; values raw, exactly the bytes the length counted.
    std::map<std::string, std::string> fields;
    // A field did not parse, its length ran over an "<EOR>" or fell short of its value (text
    // stands between two fields), or a field name came twice (a record cut short ran into the
    // next): the record ends at that "<EOR>" and its fields are unsure.
    bool damaged = false;
    // Offsets in the text: just past the previous record (or the header), and just past this
    // record's "<EOR>".
    std::size_t begin = 0;
    std::size_t end = 0;

    // The field's value, or nullptr when the record has no such field. `name` in upper case.
    const std::string* field(const std::string& name) const;
};

struct AdifRecords {
    // The records closed by "<EOR>", in text order. A header (everything up to "<EOH>") is not
    // one of them.
    std::vector<AdifRecord> records;
};

// Reads every record of `text`, which begins at a record's start (or a header). Never throws on
// bad input; lengths are bytes, field names are matched without regard to case.
AdifRecords readAdifRecords(std::string_view text);

}  // namespace pollcycle
