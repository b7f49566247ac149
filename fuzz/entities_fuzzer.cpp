// Differential target: entity decoding of any byte range against the reference.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/mismatch.h"
#include "fuzz/reference/reference.h"
#include "xmlrpc/core/scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const char* start = input.data();
    const char* end = start + input.size();
    const std::string expected = reference::entitiesDecoded(start, end);

    std::vector<char> out(input.size() + 1, '\x5a');
    const size_t length = decodeEntitiesInto(out.data(), start, end);
    const std::string got(out.data(), length);
    if (got != expected || out[length] != '\0') {
        mismatch("decodeEntitiesInto", input, got, expected);
    }
    // The allocating form gives the same text up to its first NUL.
    char* allocated = decodeEntities(start, end);
    const std::string text(allocated);
    std::free(allocated);
    if (text != expected.substr(0, expected.find('\0'))) {
        mismatch("decodeEntities", input, text, expected);
    }
    return 0;
}
