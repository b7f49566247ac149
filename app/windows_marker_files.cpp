#include "app/windows_marker_files.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace {

struct FindCloser {
    void operator()(HANDLE search) const { ::FindClose(search); }
};
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

uint64_t joinHalves(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

pollcycle::MarkerEntry entryOf(const WIN32_FIND_DATAA& found) {
    pollcycle::MarkerEntry entry;
    entry.name = found.cFileName;
    entry.size = joinHalves(found.nFileSizeHigh, found.nFileSizeLow);
    entry.lastWriteTime =
        joinHalves(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
    return entry;
}

}  // namespace

std::vector<pollcycle::MarkerEntry> WindowsMarkerFiles::find(const std::string& pattern) {
    std::vector<pollcycle::MarkerEntry> entries;
    WIN32_FIND_DATAA found{};
    const HANDLE first = ::FindFirstFileA(pattern.c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) {
        return entries;
    }
    const FindHandle search(first);
    do {
        entries.push_back(entryOf(found));
    } while (::FindNextFileA(search.get(), &found));
    return entries;
}

bool WindowsMarkerFiles::remove(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != FALSE;
}
