#include "app/poll/status_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pollcycle {
namespace {

using namespace event;

const std::string kFile = "C:\\fldigi.files\\temp\\unsaved-contacts.adi";
const std::string kMarker = "C:\\fldigi.files\\temp\\log.adif";
const std::string kFolder = "C:\\fldigi.files\\temp";
const std::string kProgress = "C:\\fldigi.files\\temp\\varnock-saved.txt";
constexpr int64_t k1402 = 1765288920;  // 2025-12-09 14:02:00 UTC

struct StatusRow {
    const char* name;
    std::vector<BridgeEvent> events;
    std::string expected;  // the whole text
    bool red;
};

void PrintTo(const StatusRow& row, std::ostream* out) {
    *out << row.name;
}

class StatusLineTest : public ::testing::TestWithParam<StatusRow> {};

TEST_P(StatusLineTest, ShowsTheMostImportantThing) {
    StatusLine line;
    for (const BridgeEvent& e : GetParam().events) {
        line.record(e);
    }
    const StatusText shown = line.current();
    EXPECT_EQ(shown.whole(), GetParam().expected);
    EXPECT_EQ(shown.needsOperator, GetParam().red);
}

const HostAttached kHost;
const FldigiConnected kFldigi{"fldigi"};

INSTANTIATE_TEST_SUITE_P(
    Sequences, StatusLineTest,
    ::testing::Values(
        StatusRow{"nothing_yet", {}, "", false},
        StatusRow{"both_reached", {kHost, kFldigi}, "Waiting for contacts logged in fldigi", false},
        StatusRow{"saved",
                  {kHost, kFldigi, ContactSaved{"DL1ABC", kMarker, k1402}},
                  "Saved DL1ABC at 14:02 UTC",
                  false},
        StatusRow{"saved_twice_shows_the_last",
                  {ContactSaved{"DL1ABC", kMarker, k1402}, ContactSaved{"F5XY", kMarker, 59}},
                  "Saved F5XY at 00:00 UTC",
                  false},
        StatusRow{"file_seen_at_start",
                  {SetAsideFileSeen{kFile, 3}},
                  "3 contacts not saved: " + kFile,
                  true},
        StatusRow{
            "one_record", {SetAsideFileSeen{kFile, 1}}, "1 contact not saved: " + kFile, true},
        StatusRow{"file_gone",
                  {SetAsideFileSeen{kFile, 3}, ContactSaved{"DL1ABC", kMarker, k1402},
                   SetAsideFileSeen{kFile, 0}},
                  "Saved DL1ABC at 14:02 UTC",
                  false},
        StatusRow{"set_aside_adds_until_seen",
                  {SetAsideFileSeen{kFile, 2}, RecordsSetAside{1, 1, kFile}},
                  "4 contacts not saved: " + kFile,
                  true},
        StatusRow{"unsaved_before_host",
                  {HostNotRunning{}, SetAsideFileSeen{kFile, 2}},
                  "2 contacts not saved: " + kFile,
                  true},
        StatusRow{"host_not_running",
                  {HostNotRunning{}, kFldigi},
                  "Contacts wait: Kebrin is not running",
                  true},
        StatusRow{"host_lost_after_save",
                  {kHost, kFldigi, ContactSaved{"DL1ABC", kMarker, k1402}, HostLost{"gone"}},
                  "Contacts wait: Kebrin is not running",
                  true},
        StatusRow{"host_back",
                  {HostNotRunning{}, kHost, kFldigi},
                  "Waiting for contacts logged in fldigi",
                  false},
        StatusRow{"host_before_fldigi",
                  {HostNotRunning{}, FldigiCallFailed{"fldigi.name", "x"}},
                  "Contacts wait: Kebrin is not running",
                  true},
        StatusRow{"fldigi_not_answering",
                  {kHost, FldigiCallFailed{"fldigi.name", "refused"}},
                  "Contacts wait: fldigi does not answer",
                  true},
        StatusRow{"a_field_read_failing_is_no_state",
                  {kHost, kFldigi, FldigiCallFailed{"log.get_call", "x"}},
                  "Waiting for contacts logged in fldigi",
                  false},
        StatusRow{"fldigi_lost",
                  {kHost, kFldigi, FldigiLost{"reset"}},
                  "Contacts wait: fldigi does not answer",
                  true},
        StatusRow{"fldigi_back",
                  {kHost, FldigiLost{"reset"}, kFldigi},
                  "Waiting for contacts logged in fldigi",
                  false},
        StatusRow{"folder_missing",
                  {kHost, kFldigi, ProblemBegan{ProblemKind::FolderMissing, kFolder, ""}},
                  "Contacts wait: no fldigi folder " + kFolder,
                  true},
        StatusRow{"folder_found_after_all",
                  {kHost, kFldigi, ProblemBegan{ProblemKind::FolderMissing, kFolder, ""},
                   MarkerClaimed{kMarker, kMarker + ".1"}},
                  "Waiting for contacts logged in fldigi",
                  false},
        StatusRow{"folder_unlistable",
                  {ProblemBegan{ProblemKind::FolderUnlistable, kFolder, "denied"}},
                  "Contacts wait: cannot search fldigi's folder " + kFolder,
                  true},
        StatusRow{"marker_held",
                  {kHost, kFldigi, ProblemBegan{ProblemKind::MarkerHeld, kMarker, ""}},
                  "Another program holds " + kMarker,
                  true},
        StatusRow{"unreadable_before_held",
                  {ProblemBegan{ProblemKind::MarkerHeld, kMarker, ""},
                   ProblemBegan{ProblemKind::ProgressUnreadable, kProgress, ""}},
                  "Contacts wait: another program holds " + kProgress,
                  true},
        StatusRow{"set_aside_file_held",
                  {ProblemBegan{ProblemKind::SetAsideUnwritable, kFile, ""}},
                  "Records to set aside wait: another program holds " + kFile,
                  true},
        StatusRow{"record_of_saves_unwritable",
                  {kHost, kFldigi, ProblemBegan{ProblemKind::ProgressUnwritable, kProgress, ""}},
                  "Contacts wait: cannot write " + kProgress,
                  true},
        StatusRow{"folder_before_file",
                  {ProblemBegan{ProblemKind::FileUnreadable, kMarker, ""},
                   ProblemBegan{ProblemKind::FolderMissing, kFolder, ""}},
                  "Contacts wait: no fldigi folder " + kFolder,
                  true},
        StatusRow{"problem_ended",
                  {kHost, kFldigi, ProblemBegan{ProblemKind::FileUnreadable, kMarker, ""},
                   ProblemEnded{ProblemKind::FileUnreadable, kMarker}},
                  "Waiting for contacts logged in fldigi",
                  false},
        StatusRow{"problems_not_holding_contacts_up",
                  {kHost, kFldigi, ProblemBegan{ProblemKind::FileUndeletable, kMarker, ""}},
                  "Waiting for contacts logged in fldigi",
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusLine, OnlyTheSetAsideFileIsOpenedByAClick) {
    StatusLine line;
    line.record(ProblemBegan{ProblemKind::FileUnreadable, kMarker, ""});
    EXPECT_FALSE(line.current().selectsPath);
    line.record(SetAsideFileSeen{kFile, 1});
    EXPECT_TRUE(line.current().selectsPath);
    EXPECT_EQ(line.current().path, kFile);
}

// One unit of width per byte: "…" (3 bytes in UTF-8) measures 3.
int bytes(const std::string& text) {
    return static_cast<int>(text.size());
}

struct FitRow {
    std::string text;
    int width;
    std::string expected;
};

class FitInMiddleTest : public ::testing::TestWithParam<FitRow> {};

TEST_P(FitInMiddleTest, KeepsBothEndsAndWholeCharacters) {
    EXPECT_EQ(fitInMiddle(GetParam().text, GetParam().width, bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, FitInMiddleTest,
    ::testing::Values(FitRow{"C:\\a\\b\\file.adi", 15, "C:\\a\\b\\file.adi"},
                      FitRow{"C:\\a\\b\\file.adi", 100, "C:\\a\\b\\file.adi"},
                      FitRow{"C:\\a\\b\\file.adi", 14,
                             "C:\\a\\b\xE2\x80\xA6"
                             "e.adi"},
                      FitRow{"0123456789", 9,
                             "012\xE2\x80\xA6"
                             "789"},
                      FitRow{"0123456789", 8,
                             "012\xE2\x80\xA6"
                             "89"},
                      FitRow{"0123456789", 4, "0\xE2\x80\xA6"},
                      FitRow{"0123456789", 3, "\xE2\x80\xA6"},
                      FitRow{"0123456789", 0, "\xE2\x80\xA6"}, FitRow{"", 0, ""},
                      // Cyrillic letters are two bytes each: none is cut in half.
                      FitRow{"\xD0\x90\xD0\x91\xD0\x92\xD0\x93", 7, "\xD0\x90\xE2\x80\xA6\xD0\x93"},
                      FitRow{"\xD0\x90\xD0\x91\xD0\x92\xD0\x93", 6, "\xD0\x90\xE2\x80\xA6"}));

TEST(UtcClockText, HoursAndMinutesOfTheDay) {
    EXPECT_EQ(utcClockText(k1402), "14:02 UTC");
    EXPECT_EQ(utcClockText(0), "00:00 UTC");
    EXPECT_EQ(utcClockText(86399), "23:59 UTC");
    EXPECT_EQ(utcClockText(-60), "23:59 UTC");
}

}  // namespace
}  // namespace pollcycle
