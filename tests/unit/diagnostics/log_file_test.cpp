#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/diagnostics/std_log_file.h"
#include "memory_log_file.h"

namespace diagnostics::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LogFileOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("varnock-log-test-" +
                  std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string utf8Path(const std::string& name) const { return (folder / name).u8string(); }

    fs::path folder;
};

TEST_F(LogFileOnDisk, OpeningFailsWithTheReason) {
    const std::pair<std::string, const char*> cases[] = {
        {utf8Path("no such folder/varnock.log"), "No such file or directory"},
        {folder.u8string(), "It is a folder."},
    };
    for (const auto& [path, reason] : cases) {
        std::string problem;
        EXPECT_EQ(StdLogFile::open(path, problem), nullptr) << path;
        EXPECT_THAT(problem, HasSubstr(reason)) << path;
    }
}

TEST_F(LogFileOnDisk, AppendsToWhatIsThereUnderANonAsciiName) {
    const std::string path = utf8Path("\xd0\xbb\xd0\xbe\xd0\xb3 varnock.log");  // "лог varnock.log"
    std::ofstream(fs::u8path(path), std::ios::binary) << "older line\n";
    std::string problem;
    {
        auto file = StdLogFile::open(path, problem);
        ASSERT_NE(file, nullptr) << problem;
        EXPECT_EQ(file->size(), 11u);
        DiagnosticLog(std::move(file), kLogLimitBytes, fixedTime).write("started");
    }
    EXPECT_EQ(contentOf(fs::u8path(path)), "older line\n2026-12-08 09:05:03.007 started\n");
}

TEST_F(LogFileOnDisk, RotatesIntoDotOneReplacingAnOlderOne) {
    const std::string path = utf8Path("varnock.log");
    std::ofstream(fs::u8path(path + ".1")) << "oldest\n";
    std::string problem;
    DiagnosticLog log(StdLogFile::open(path, problem), 80, fixedTime);
    for (const char* event : {"one", "two", "three", "four"}) {
        log.write(event);  // 28 to 30 bytes a line: two lines a file
    }
    EXPECT_EQ(contentOf(fs::u8path(path + ".1")),
              "2026-12-08 09:05:03.007 one\n2026-12-08 09:05:03.007 two\n");
    EXPECT_EQ(contentOf(fs::u8path(path)),
              "2026-12-08 09:05:03.007 three\n2026-12-08 09:05:03.007 four\n");
}

}  // namespace
}  // namespace diagnostics::testing
