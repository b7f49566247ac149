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
        for (const auto& entry : files.find(folder + "\\*")) {
            ::DeleteFileW(WidenText(folder + "\\" + entry.name).c_str());
        }
        ::RemoveDirectoryW(WidenText(folder).c_str());
    }
    std::string path(const char* name) const { return folder + "\\" + name; }

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
        bool canRead, canRename;
    };
    const Case cases[] = {
        {0, false, false},                                  // locked
        {FILE_SHARE_READ | FILE_SHARE_WRITE, true, false},  // a scanner that reads it
        {FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(files.replace(path("log.adif"), "<CALL:5>F5XYZ<EOR>\n"));
        const HANDLE other = openShared(path("log.adif"), c.share);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        EXPECT_EQ(files.read(path("log.adif"), 0, 100).has_value(), c.canRead) << c.share;
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
    EXPECT_EQ(files.read(path("b"), 0, 10), std::optional<std::string>("b"));
}

TEST_F(MarkerFilesTest, ReadsFromAnOffsetAppendsAndReplaces) {
    EXPECT_FALSE(files.read(path("none"), 0, 10).has_value());
    EXPECT_TRUE(files.append(path("f"), "0123"));
    EXPECT_TRUE(files.append(path("f"), "456789"));
    const std::pair<uint64_t, uint64_t> reads[] = {{0, 100}, {3, 4}, {9, 5}, {10, 5}, {99, 5}};
    const char* expected[] = {"0123456789", "3456", "9", "", ""};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(files.read(path("f"), reads[i].first, reads[i].second),
                  std::optional<std::string>(expected[i]))
            << i;
    }
    EXPECT_TRUE(files.replace(path("f"), "new"));
    EXPECT_TRUE(files.replace(path("f"), "newer"));
    EXPECT_EQ(files.read(path("f"), 0, 100), std::optional<std::string>("newer"));
    EXPECT_TRUE(files.find(path("f.new")).empty()) << "no file left beside it";
}

TEST_F(MarkerFilesTest, FindsTheFolderAndNamesByPattern) {
    files.append(path("varnock-claimed-2.adif"), "x");
    files.append(path("varnock-claimed-10.adif"), "x");
    files.append(path("log.adif"), "x");
    EXPECT_EQ(files.find(folder).size(), 1u);
    EXPECT_EQ(files.find(path("varnock-claimed-*.adif")).size(), 2u);
    EXPECT_TRUE(files.find(folder + "-missing").empty());
}

TEST_F(MarkerFilesTest, NowIsUtc) {
    const int64_t now = files.nowUtcSeconds();
    EXPECT_LE(std::llabs(now - static_cast<int64_t>(std::time(nullptr))), 2);
}

}  // namespace
