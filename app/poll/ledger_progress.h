// The contact ledger's record on disk of how far the host has saved each file of logged
// contacts, as a small text: one line "<file name> <offset> <hash>" per file, and one line
// "<file name> <begin>-<end> aside" per range of it still to be set aside ("appending:<n>"
// instead of "aside" while it is being appended).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pollcycle {

// How many bytes before a file's saved offset its hash covers.
inline constexpr uint64_t kHashedBytes = 4096;

// Bytes [begin, end) of a file.
struct ByteRange {
    uint64_t begin = 0;
    uint64_t end = 0;
    // Not 0: being appended to the set-aside file, which was 1 byte shorter than this before
    // (written before the append, so that a stop in between cannot append it twice).
    uint64_t appendingAt = 0;
    bool operator==(const ByteRange& other) const {
        return begin == other.begin && end == other.end && appendingAt == other.appendingAt;
    }
};

// Everything before `offset` is saved, set aside or in `owed`; `hash` is contentHash() of the
// up to kHashedBytes bytes before it, so the offset only counts for a file with that content.
struct SavedUpTo {
    uint64_t offset = 0;
    uint64_t hash = 14695981039346656037ULL;  // contentHash() of no bytes
    // Records to set aside that could not be yet (the set-aside file could not be written):
    // they are appended, each range once, when it can be. The file is kept until then.
    std::vector<ByteRange> owed;
    bool operator==(const SavedUpTo& other) const {
        return offset == other.offset && hash == other.hash && owed == other.owed;
    }
};

using LedgerProgress = std::map<std::string, SavedUpTo>;

// FNV-1a, 64 bits.
uint64_t contentHash(std::string_view bytes);

std::string formatLedgerProgress(const LedgerProgress& progress);
// Lines that do not read as "<name> <decimal offset> <16 hex digits>" are passed over: a file
// without a line counts as not saved at all.
LedgerProgress parseLedgerProgress(std::string_view text);

}  // namespace pollcycle
