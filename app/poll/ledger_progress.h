// The contact ledger's record on disk of how far the host has saved each file of logged
// contacts, as a small text: one line "<file name> <offset> <hash>" per file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace pollcycle {

// How many bytes before a file's saved offset its hash covers.
inline constexpr uint64_t kHashedBytes = 4096;

// Everything before `offset` is saved (or kept aside); `hash` is contentHash() of the up to
// kHashedBytes bytes before it, so the offset only counts for a file with that content.
struct SavedUpTo {
    uint64_t offset = 0;
    uint64_t hash = 14695981039346656037ULL;  // contentHash() of no bytes
    bool operator==(const SavedUpTo& other) const {
        return offset == other.offset && hash == other.hash;
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
