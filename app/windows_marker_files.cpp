#include "app/windows_marker_files.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <type_traits>

#include "framework/text_conversion.h"

namespace {

struct FindCloser {
    void operator()(HANDLE search) const { ::FindClose(search); }
};
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

struct HandleCloser {
    void operator()(HANDLE file) const { ::CloseHandle(file); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

uint64_t joinHalves(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

pollcycle::MarkerEntry entryOf(const WIN32_FIND_DATAW& found) {
    pollcycle::MarkerEntry entry;
    entry.name = ToUtf8(found.cFileName);
    entry.size = joinHalves(found.nFileSizeHigh, found.nFileSizeLow);
    entry.lastWriteTime =
        joinHalves(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
    return entry;
}

// Reads exactly bytes.size() bytes; false on an error or an early end.
bool readAll(HANDLE file, std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + done, chunk, &got, nullptr) || got == 0) {
            return false;
        }
        done += got;
    }
    return true;
}

}  // namespace

std::vector<pollcycle::MarkerEntry> WindowsMarkerFiles::find(const std::string& pattern) {
    std::vector<pollcycle::MarkerEntry> entries;
    WIN32_FIND_DATAW found{};
    const HANDLE first = ::FindFirstFileW(WidenText(pattern).c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) {
        return entries;
    }
    const FindHandle search(first);
    do {
        entries.push_back(entryOf(found));
    } while (::FindNextFileW(search.get(), &found));
    return entries;
}

std::optional<pollcycle::MarkerContent> WindowsMarkerFiles::readTail(const std::string& path,
                                                                     uint64_t maxBytes) {
    // fldigi may be appending while this reads: share reading, writing and deleting.
    const HANDLE opened = ::CreateFileW(WidenText(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const FileHandle file(opened);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        return std::nullopt;
    }
    pollcycle::MarkerContent content;
    const uint64_t total = static_cast<uint64_t>(size.QuadPart);
    content.offset = total > maxBytes ? total - maxBytes : 0;
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(content.offset);
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) {
        return std::nullopt;
    }
    content.bytes.resize(static_cast<size_t>(total - content.offset));
    if (!readAll(file.get(), content.bytes)) {
        return std::nullopt;
    }
    return content;
}

bool WindowsMarkerFiles::remove(const std::string& path) {
    return ::DeleteFileW(WidenText(path).c_str()) != FALSE;
}
