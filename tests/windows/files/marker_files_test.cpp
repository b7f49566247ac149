#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "app/windows_marker_files.h"
#include "framework/text_conversion.h"

namespace {

// A folder of its own (its name in Cyrillic, as a profile folder may be), removed afterwards.
class MarkerFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder = ToUtf8(temp) + "varnock-\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd-" +
                 std::to_string(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryW(WidenText(folder).c_str(), nullptr));
    }
    void TearDown() override {
        for (const auto& entry : files.find(folder + "\\*").entries) {
            ::DeleteFileW(WidenText(folder + "\\" + entry.name).c_str());
        }
        ::RemoveDirectoryW(WidenText(folder).c_str());
    }
    std::string path(const char* name) const { return folder + "\\" + name; }
    // The bytes read, none when the read did not succeed.
    std::optional<std::string> text(const std::string& file, uint64_t offset, uint64_t max) {
        const pollcycle::FileBytes read = files.read(file, offset, max);
        return read.status == pollcycle::FileStatus::Ok ? std::optional<std::string>(read.bytes)
                                                        : std::nullopt;
    }

    // Another program's handle on the file, with the sharing it grants.
    HANDLE openShared(const std::string& file, DWORD share) const {
        return ::CreateFileW(WidenText(file).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    WindowsMarkerFiles files;
    std::string folder;
};

TEST_F(MarkerFilesTest, WhatAnotherProgramsHandleAllows) {
    struct Case {
        DWORD share;
        pollcycle::FileStatus read;
        bool canRename;
    };
    const Case cases[] = {
        {0, pollcycle::FileStatus::Failed, false},  // locked: there, but not readable
        {FILE_SHARE_READ | FILE_SHARE_WRITE, pollcycle::FileStatus::Ok, false},  // a scanner
        {FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, pollcycle::FileStatus::Ok, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(files.replace(path("log.adif"), "<CALL:5>F5XYZ<EOR>\n"));
        const HANDLE other = openShared(path("log.adif"), c.share);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        EXPECT_EQ(files.read(path("log.adif"), 0, 100).status, c.read) << c.share;
        EXPECT_EQ(files.probe(path("log.adif")).status, pollcycle::FileStatus::Ok) << c.share;
        EXPECT_EQ(files.rename(path("log.adif"), path("taken.adif")), c.canRename) << c.share;
        if (!c.canRename) {
            EXPECT_NE(files.lastErrorText(), "") << "the reason, for the log";
        }
        ::CloseHandle(other);
        files.remove(path("taken.adif"));
        files.remove(path("log.adif"));
    }
}

TEST_F(MarkerFilesTest, RenameNeverReplacesAFile) {
    ASSERT_TRUE(files.append(path("a"), "a"));
    ASSERT_TRUE(files.append(path("b"), "b"));
    EXPECT_FALSE(files.rename(path("a"), path("b")));
    EXPECT_EQ(text(path("b"), 0, 10), std::optional<std::string>("b"));
}

TEST_F(MarkerFilesTest, ReadsFromAnOffsetAppendsAndReplaces) {
    EXPECT_EQ(files.read(path("none"), 0, 10).status, pollcycle::FileStatus::NotFound);
    EXPECT_TRUE(files.append(path("f"), "0123"));
    EXPECT_TRUE(files.append(path("f"), "456789"));
    const std::pair<uint64_t, uint64_t> reads[] = {{0, 100}, {3, 4}, {9, 5}, {10, 5}, {99, 5}};
    const char* expected[] = {"0123456789", "3456", "9", "", ""};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(text(path("f"), reads[i].first, reads[i].second),
                  std::optional<std::string>(expected[i]))
            << i;
    }
    EXPECT_TRUE(files.replace(path("f"), "new"));
    EXPECT_TRUE(files.replace(path("f"), "newer"));
    EXPECT_EQ(text(path("f"), 0, 100), std::optional<std::string>("newer"));
    EXPECT_EQ(files.find(path("f.new")).status, pollcycle::FileStatus::NotFound)
        << "no file left beside it";
    const pollcycle::FileProbe probe = files.probe(path("f"));
    EXPECT_EQ(probe.status, pollcycle::FileStatus::Ok);
    EXPECT_EQ(probe.size, 5u);
}

TEST_F(MarkerFilesTest, FindsTheFolderAndNamesByPattern) {
    files.append(path("varnock-claimed-2.adif"), "x");
    files.append(path("varnock-claimed-10.adif"), "x");
    files.append(path("log.adif"), "x");
    EXPECT_EQ(files.find(folder).entries.size(), 1u);
    EXPECT_EQ(files.find(path("varnock-claimed-*.adif")).entries.size(), 2u);
    // "Not there" is an answer, for a name and for a folder.
    const std::pair<std::string, pollcycle::FileStatus> absent[] = {
        {path("varnock-claimed-*.txt"), pollcycle::FileStatus::NotFound},
        {folder + "-missing\\*.adif", pollcycle::FileStatus::NotFound},
        {folder + "-missing", pollcycle::FileStatus::NotFound},
    };
    for (const auto& [pattern, status] : absent) {
        EXPECT_EQ(files.find(pattern).status, status) << pattern;
        EXPECT_TRUE(files.find(pattern).entries.empty()) << pattern;
    }
    EXPECT_EQ(files.probe(folder + "-missing\\log.adif").status, pollcycle::FileStatus::NotFound);
    EXPECT_EQ(files.probe(folder).status, pollcycle::FileStatus::Ok);
}

TEST_F(MarkerFilesTest, NowIsUtc) {
    const int64_t now = files.nowUtcSeconds();
    EXPECT_LE(std::llabs(now - static_cast<int64_t>(std::time(nullptr))), 2);
}

}  // namespace
