#include "app/diagnostics/std_log_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace diagnostics {
namespace {

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8Path) {
    return fs::u8path(utf8Path);
}

std::FILE* openFile(const fs::path& path, bool truncate) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), truncate ? L"wb" : L"ab");
#else
    return std::fopen(path.c_str(), truncate ? "wb" : "ab");
#endif
}

}  // namespace

std::unique_ptr<StdLogFile> StdLogFile::open(const std::string& utf8Path, std::string& problem) {
    std::error_code error;
    const fs::path path = pathOf(utf8Path);
    if (fs::is_directory(path, error)) {
        problem = "It is a folder.";
        return nullptr;
    }
    errno = 0;
    CFile file(openFile(path, false));
    if (!file) {
        problem = std::strerror(errno != 0 ? errno : EIO);
        return nullptr;
    }
    std::fseek(file.get(), 0, SEEK_END);
    const long size = std::ftell(file.get());
    return std::unique_ptr<StdLogFile>(
        new StdLogFile(utf8Path, std::move(file), size > 0 ? static_cast<uint64_t>(size) : 0));
}

StdLogFile::StdLogFile(std::string utf8Path, CFile file, uint64_t size)
    : path_(std::move(utf8Path)), file_(std::move(file)), size_(size) {}

void StdLogFile::append(std::string_view bytes) {
    if (!file_) {
        return;
    }
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get());
    std::fflush(file_.get());
    size_ += written;
}

std::string StdLogFile::rotate() {
    file_.reset();
    const fs::path path = pathOf(path_);
    const fs::path older = pathOf(path_ + ".1");
    std::error_code error;
    fs::remove(older, error);
    fs::rename(path, older, error);
    file_.reset(openFile(path, error.operator bool()));
    size_ = 0;
    return error ? error.message() : std::string();
}

}  // namespace diagnostics
