#include "app/windows_marker_files.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <type_traits>

#include "base/kernel_handle.h"
#include "base/system_error_text.h"
#include "framework/text_conversion.h"

namespace {

constexpr DWORD kChunkBytes = 1u << 20;

uint64_t joinHalves(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

pollcycle::MarkerEntry entryOf(const WIN32_FIND_DATAW& found) {
    pollcycle::MarkerEntry entry;
    entry.name = ToUtf8(found.cFileName);
    return entry;
}

KernelHandle openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    return adoptFileHandle(::CreateFileW(WidenUtf8(path).c_str(), access, share, nullptr,
                                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool writeAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kChunkBytes));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return ::FlushFileBuffers(file) != FALSE;
}

// "Not there" is an answer; any other failure says nothing about what is there.
bool isNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_NO_MORE_FILES;
}

}  // namespace

pollcycle::FileStatus WindowsMarkerFiles::failedStatus() {
    const DWORD error = ::GetLastError();
    failed();
    return isNotFound(error) ? pollcycle::FileStatus::NotFound : pollcycle::FileStatus::Failed;
}

bool WindowsMarkerFiles::failed() {
    const DWORD error = ::GetLastError();
    lastError_ = systemErrorText(error);
    if (lastError_.empty()) {
        lastError_ = "error " + std::to_string(error);
    }
    return false;
}

pollcycle::FileSearch WindowsMarkerFiles::find(const std::string& pattern) {
    pollcycle::FileSearch result;
    WIN32_FIND_DATAW found{};
    const HANDLE first = ::FindFirstFileW(WidenUtf8(pattern).c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) {
        result.status = failedStatus();
        return result;
    }
    const FindHandle search(first);
    do {
        result.entries.push_back(entryOf(found));
    } while (::FindNextFileW(search.get(), &found));
    if (::GetLastError() != ERROR_NO_MORE_FILES) {
        failed();  // a list cut short is no list
        result.status = pollcycle::FileStatus::Failed;
        return result;
    }
    result.status = pollcycle::FileStatus::Ok;
    return result;
}

pollcycle::FileProbe WindowsMarkerFiles::probe(const std::string& path) {
    pollcycle::FileProbe result;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WidenUtf8(path).c_str(), GetFileExInfoStandard, &data)) {
        result.status = failedStatus();
        return result;
    }
    result.status = pollcycle::FileStatus::Ok;
    result.size = joinHalves(data.nFileSizeHigh, data.nFileSizeLow);
    result.lastWriteTime =
        joinHalves(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return result;
}

pollcycle::FileBytes WindowsMarkerFiles::read(const std::string& path, uint64_t offset,
                                              uint64_t maxBytes) {
    pollcycle::FileBytes result;
    // fldigi may be appending while this reads: share reading, writing and deleting.
    const KernelHandle file = openFile(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (!file) {
        result.status = failedStatus();
        return result;
    }
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) {
        result.status = (failed(), pollcycle::FileStatus::Failed);
        return result;
    }
    std::string& bytes = result.bytes;
    while (bytes.size() < maxBytes) {
        const size_t done = bytes.size();
        const DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(maxBytes - done, kChunkBytes));
        bytes.resize(done + chunk);
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) {
            failed();
            return pollcycle::FileBytes{pollcycle::FileStatus::Failed, std::string()};
        }
        bytes.resize(done + got);
        if (got == 0) {
            break;
        }
    }
    result.status = pollcycle::FileStatus::Ok;
    return result;
}

bool WindowsMarkerFiles::remove(const std::string& path) {
    // A file someone else deleted already is gone as asked.
    return ::DeleteFileW(WidenUtf8(path).c_str()) != FALSE || isNotFound(::GetLastError()) ||
           failed();
}

bool WindowsMarkerFiles::rename(const std::string& from, const std::string& to) {
    return ::MoveFileExW(WidenUtf8(from).c_str(), WidenUtf8(to).c_str(), MOVEFILE_WRITE_THROUGH) !=
               FALSE ||
           failed();
}

bool WindowsMarkerFiles::append(const std::string& path, const std::string& bytes) {
    const KernelHandle file = openFile(path, FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS);
    return (file && writeAll(file.get(), bytes)) || failed();
}

bool WindowsMarkerFiles::replace(const std::string& path, const std::string& bytes) {
    // Written whole beside it, then put in its place in one step.
    const std::string fresh = path + ".new";
    {
        const KernelHandle file = openFile(fresh, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!file || !writeAll(file.get(), bytes)) {
            return failed();
        }
    }
    return ::MoveFileExW(WidenUtf8(fresh).c_str(), WidenUtf8(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE ||
           failed();
}

int64_t WindowsMarkerFiles::nowUtcSeconds() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    // File time counts 100 ns steps from 1601-01-01.
    constexpr uint64_t kUnixEpochFileTime = 116444736000000000ULL;
    return static_cast<int64_t>(
        (joinHalves(now.dwHighDateTime, now.dwLowDateTime) - kUnixEpochFileTime) / 10000000ULL);
}
