// Ticks that find fldigi's marker file with the logged contacts in it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "poll_fixture.h"

namespace pollcycle::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// One line as fldigi writes it (fields it leaves empty written with length 0).
std::string record(const std::string& call, const std::string& name, const std::string& qth) {
    const auto field = [](const char* tag, const std::string& value) {
        return std::string("<") + tag + ":" + std::to_string(value.size()) + ">" + value;
    };
    return field("QSO_DATE", "20261208") + field("CALL", call) + field("FREQ", "14.071500") +
           field("MODE", "PSK") + field("RST_SENT", "599") + field("RST_RCVD", "599") +
           field("NAME", name) + field("QTH", qth) + field("STATE", "") + field("VE_PROV", "") +
           field("GRIDSQUARE", "") + field("NOTES", "") + "<EOR>\n";
}

const std::vector<std::string> kSaveMacros = {"RunMacro <FIXSTARTTIME>", "RunMacro <SAVEQSO>",
                                              "RunMacro <CURSOR:TX>"};

// The host calls of saves in a row: each one's field changes, then the three macros.
std::vector<std::string> saves(const std::vector<std::vector<std::string>>& fieldsPerSave) {
    std::vector<std::string> calls;
    for (const std::vector<std::string>& fields : fieldsPerSave) {
        calls.insert(calls.end(), fields.begin(), fields.end());
        calls.insert(calls.end(), kSaveMacros.begin(), kSaveMacros.end());
    }
    return calls;
}

class LoggedContactsTest : public PollCycleTest {
  protected:
    std::size_t logClears() const {
        std::size_t count = 0;
        for (const std::string& event : journal.with("fldigi#")) {
            count += event.size() >= 10 && event.compare(event.size() - 10, 10, " log.clear") == 0;
        }
        return count;
    }

    // The operator's contact in fldigi's fields, as fldigi answers after the first tick.
    void fldigiShows(const std::string& call, const std::string& name, const std::string& qth) {
        fldigi.set("log.get_call", call);
        fldigi.set("log.get_name", name);
        fldigi.set("log.get_qth", qth);
        fldigi.set("log.get_rst_in", "599");
        fldigi.set("log.get_rst_out", "599");
        fldigi.set("log.get_frequency", "14071.500");
        fldigi.set("modem.get_name", "BPSK31");
    }
};

TEST_F(LoggedContactsTest, FieldsThatStayFilledGiveTheSameCallsAsAnUnreadMarker) {
    // Two bridges side by side: one finds the record, the other cannot read the marker.
    std::vector<std::vector<std::string>> calls;
    for (const bool readable : {true, false}) {
        Journal journal;
        PollState state;
        FakeFldigi fldigi{journal};
        FakeHost host{journal};
        FakeMarkerFiles markers{journal};
        FakeView view{journal};
        PollCycle cycle{state, fldigi, host, markers, view};
        state.hostAttached = state.fldigiConnected = true;
        fldigi.set("log.get_call", "DL1ABC");
        fldigi.set("log.get_rst_in", "599");
        fldigi.set("log.get_rst_out", "599");
        cycle.OnTimer();
        fldigi.set("log.get_name", "Hans");
        fldigi.set("log.get_frequency", "14071.500");
        fldigi.set("modem.get_name", "PSK500R");
        markers.write(record("DL1ABC", "Hans", ""), 7);
        if (!readable) {
            markers.content.reset();
        }
        cycle.OnTimer();
        calls.push_back(journal.with("host "));
    }
    EXPECT_EQ(calls[0], calls[1]);
    EXPECT_THAT(calls[0],
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 2 599",
                                         "SetQsoField 5 599", "SetQsoField 1 Hans",
                                         "RunMacro <MODEADD:PSKR>", "SetFrequency 14071500.0"}})));
}

TEST_F(LoggedContactsTest, ClearedFieldsLeaveTheHostWithTheLoggedContact) {
    connectBoth();
    fldigiShows("DL1ABC", "Hans", "Berlin");
    tick();
    fldigiShows("", "", "");  // "Clear on save": emptied right after logging
    markers.write(record("DL1ABC", "Hans", "Berlin"), 7);

    tick();
    EXPECT_THAT(hostCalls(), ElementsAreArray(kSaveMacros));
    EXPECT_THAT(journal.with("files remove"), ElementsAre(" C:\\fl\\temp\\log.adif"));

    tick();  // the cleared fields follow once the contact is saved
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 ", "SetQsoField 1 ", "SetQsoField 3 "));
}

TEST_F(LoggedContactsTest, ContactTypedAndLoggedBetweenTwoTicks) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "M\xc3\xbcller", "K\xc3\xb6ln"), 7);
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 M\xc3\xbcller",
                                         "SetQsoField 3 K\xc3\xb6ln"}})));
    EXPECT_EQ(state.lastSent.name, "M\xc3\xbcller");
}

TEST_F(LoggedContactsTest, EveryRecordIsSavedWithItsOwnFieldsInFileOrder) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "Hans", "Berlin") + record("F5XYZ", "Jean", "Berlin") +
                      record("G4AAA", "Jean", ""),
                  7);
    tick();
    EXPECT_THAT(hostCalls(), ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans",
                                                      "SetQsoField 3 Berlin"},
                                                     {"SetQsoField 0 F5XYZ", "SetQsoField 1 Jean"},
                                                     {"SetQsoField 0 G4AAA", "SetQsoField 3 "}})));
    EXPECT_THAT(journal.with("files remove"), ElementsAre(" C:\\fl\\temp\\log.adif"));
    EXPECT_EQ(logClears(), 1u);
}

TEST_F(LoggedContactsTest, UndeletableMarkerSavesOnlyTheRecordsAddedSince) {
    connectBoth();
    fldigiShows("", "", "");
    markers.deletable = false;
    markers.write(record("DL1ABC", "Hans", ""), 7);
    tick();
    tick();  // the same file: nothing saved again, fldigi's cleared fields go out
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 ", "SetQsoField 1 "));

    markers.write(record("DL1ABC", "Hans", "") + record("F5XYZ", "Jean", ""), 9);
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 F5XYZ", "SetQsoField 1 Jean"}})));
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), IsEmpty());
}

struct DamagedRow {
    const char* name;
    std::string content;  // what the marker holds
};

void PrintTo(const DamagedRow& row, std::ostream* out) {
    *out << row.name;
}

class DamagedMarkerTest : public LoggedContactsTest,
                          public ::testing::WithParamInterface<DamagedRow> {};

// Nothing in the file can stand for the contact: it is saved with the fields as read.
TEST_P(DamagedMarkerTest, SavesOnceWithTheFieldsAsRead) {
    connectBoth();
    fldigiShows("DL1ABC", "Hans", "");
    tick();
    markers.write(GetParam().content, 7);
    tick();
    EXPECT_THAT(hostCalls(), ElementsAreArray(kSaveMacros));
    EXPECT_THAT(journal.with("files remove"), ElementsAre(" C:\\fl\\temp\\log.adif"));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, DamagedMarkerTest,
    ::testing::Values(DamagedRow{"Empty", ""}, DamagedRow{"LineBreakOnly", "\r\n"},
                      DamagedRow{"UnparsableRecord", "<CALL:x>F5XYZ<NAME:4>Jean<EOR>\n"},
                      DamagedRow{"RecordWithoutCall", "<NAME:4>Jean<QTH:5>Paris<EOR>\n"},
                      DamagedRow{"RecordWithEmptyCall", record("", "Jean", "Paris")}),
    [](const ::testing::TestParamInfo<DamagedRow>& info) { return info.param.name; });

TEST_F(LoggedContactsTest, UnreadableMarkerIsSavedWithTheFieldsAsRead) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "Hans", ""), 7);
    markers.content.reset();
    tick();
    EXPECT_THAT(hostCalls(), ElementsAreArray(kSaveMacros));
}

TEST_F(LoggedContactsTest, DamagedRecordBetweenGoodOnesKeepsTheirFields) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(
        record("DL1ABC", "Hans", "") + "<CALL:99x>F5XYZ<EOR>\n" + record("G4AAA", "Bob", ""), 7);
    tick();
    // The damaged record in the middle is saved with the fields the host has at that point.
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"},
                                        {},
                                        {"SetQsoField 0 G4AAA", "SetQsoField 1 Bob"}})));
}

TEST_F(LoggedContactsTest, RecordStillBeingWrittenWaitsForTheNextTick) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    const std::string second = record("F5XYZ", "Jean", "");
    markers.write(record("DL1ABC", "Hans", "") + second.substr(0, 30), 7);
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"}})));
    EXPECT_THAT(journal.with("files remove"), IsEmpty());

    markers.write(record("DL1ABC", "Hans", "") + second, 8);
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 F5XYZ", "SetQsoField 1 Jean"}})));
    EXPECT_THAT(journal.with("files remove"), ElementsAre(" C:\\fl\\temp\\log.adif"));
    EXPECT_FALSE(state.committedUndeletedMarker.has_value());
}

TEST_F(LoggedContactsTest, ContactLoggedWhileSavingIsNotDeletedWithTheFile) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    const std::string first = record("DL1ABC", "Hans", "");
    markers.write(first, 7);
    markers.afterRead = [&] { markers.write(first + record("F5XYZ", "Jean", ""), 8); };
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"}})));
    EXPECT_THAT(journal.with("files remove"), IsEmpty());

    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 F5XYZ", "SetQsoField 1 Jean"}})));
    EXPECT_THAT(journal.with("files remove"), ElementsAre(" C:\\fl\\temp\\log.adif"));
}

TEST_F(LoggedContactsTest, UnfinishedRecordThatStaysSoIsSavedOnTheTickAfter) {
    connectBoth();
    fldigiShows("DL1ABC", "Hans", "");
    tick();
    markers.write("<CALL:6>F5X", 7);
    tick();
    EXPECT_THAT(hostCalls(), IsEmpty());
    EXPECT_EQ(logClears(), 0u);  // nothing was saved
    tick();
    EXPECT_THAT(hostCalls(), ElementsAreArray(kSaveMacros));
    EXPECT_THAT(journal.with("files remove"), ElementsAre(" C:\\fl\\temp\\log.adif"));
}

TEST_F(LoggedContactsTest, FrequencyAndModemComeFromTheReadsNotTheRecord) {
    connectBoth();
    fldigiShows("", "", "");
    fldigi.set("log.get_frequency", "7035.000");
    fldigi.set("modem.get_name", "RTTY");
    markers.write(record("DL1ABC", "Hans", ""), 7);  // FREQ 14.071500, MODE PSK
    tick();
    EXPECT_THAT(
        hostCalls(),
        ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans", "SetQsoField 2 599",
                                 "SetQsoField 5 599", "SetMode RTTY", "SetFrequency 7035000.0"}})));
}

TEST_F(LoggedContactsTest, MarkerOverTheReadLimitGivesItsLastRecordsThatFit) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    std::string content;
    std::vector<std::size_t> starts;
    while (content.size() < kMarkerReadLimit + 4096) {
        starts.push_back(content.size());
        content += record("K" + std::to_string(starts.size()), "", "");
    }
    // The cut begins inside a record (or at one): the records that start after it are used.
    const std::size_t cut = content.size() - kMarkerReadLimit;
    std::size_t fit = 0;
    for (const std::size_t start : starts) {
        fit += start > cut ? 1 : 0;
    }
    markers.write(content, 7);
    tick();
    const std::vector<std::string> calls = journal.with("host SetQsoField 0 ");
    ASSERT_EQ(calls.size(), fit);
    EXPECT_EQ(calls.front(), "K" + std::to_string(starts.size() - fit + 1));
    EXPECT_EQ(calls.back(), "K" + std::to_string(starts.size()));
    EXPECT_EQ(journal.with("host RunMacro <SAVEQSO>").size(), calls.size());
}

}  // namespace
}  // namespace pollcycle::testing
