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

TEST_F(LoggedContactsTest, FieldsThatStayFilledGiveTheCallsOfFldigisDefaultSettings) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_rst_in", "599");
    fldigi.set("log.get_rst_out", "599");
    tick();
    fldigi.set("log.get_name", "Hans");
    fldigi.set("log.get_frequency", "14071.500");
    fldigi.set("modem.get_name", "PSK500R");
    markers.write(record("DL1ABC", "Hans", ""));
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 1 Hans", "RunMacro <MODEADD:PSKR>",
                                         "SetFrequency 14071500.0"}})));
    EXPECT_EQ(logClears(), 1u);  // fldigi still shows the saved contact
}

TEST_F(LoggedContactsTest, ClearedFieldsLeaveTheHostWithTheLoggedContact) {
    connectBoth();
    fldigiShows("DL1ABC", "Hans", "Berlin");
    tick();
    fldigiShows("", "", "");  // "Clear on save": emptied right after logging
    markers.write(record("DL1ABC", "Hans", "Berlin"));

    tick();
    EXPECT_THAT(hostCalls(), ElementsAreArray(kSaveMacros));
    EXPECT_FALSE(markers.content(FakeMarkerFiles::kMarker));

    tick();  // the cleared fields follow once the contact is saved
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 ", "SetQsoField 1 ", "SetQsoField 3 "));
}

TEST_F(LoggedContactsTest, ContactTypedAndLoggedBetweenTwoTicks) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "M\xc3\xbcller", "K\xc3\xb6ln"));
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 M\xc3\xbcller",
                                         "SetQsoField 3 K\xc3\xb6ln"}})));
    EXPECT_EQ(state.lastSent.name, "M\xc3\xbcller");
}

// fldigi's log file holds its texts as its replies do: the fldigi port decodes both.
TEST_F(LoggedContactsTest, RecordFieldsAreDecodedByTheFldigiPort) {
    connectBoth();
    fldigiShows("", "", "");
    fldigi.decoder = [](const std::string& bytes) {
        return bytes == "\xC8\xE2\xE0\xED" ? std::string("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD")
                                           : bytes;
    };
    tick();
    markers.write(record("DL1ABC", "\xC8\xE2\xE0\xED", ""));  // CP1251
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves(
                    {{"SetQsoField 0 DL1ABC", "SetQsoField 1 \xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"}})));
}

// Every field of a contact after the first, as record() writes it, in the send order.
std::vector<std::string> allFields(const std::string& call, const std::string& name,
                                   const std::string& qth, const std::string& modeCall,
                                   const std::string& frequencyCall) {
    return {"SetQsoField 0 " + call,
            "SetQsoField 1 " + name,
            "SetQsoField 3 " + qth,
            "SetQsoField 2 599",
            "SetQsoField 5 599",
            modeCall,
            "SetQsoField 10 ",
            "SetQsoField 7 ",
            "SetQsoField 8 ",
            "SetQsoField 4 ",
            frequencyCall};
}

// The host's form after a save is not known: each further contact of the tick gets all its
// fields, not only those that differ from the contact before.
TEST_F(LoggedContactsTest, EveryRecordIsSavedWithItsOwnFieldsInFileOrder) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "Hans", "Berlin") + record("F5XYZ", "Jean", "Berlin") +
                  record("G4AAA", "Jean", ""));
    tick();
    const char* const kSameFrequency = "SetFrequency 14071500.0";
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(
                    saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans", "SetQsoField 3 Berlin"},
                           allFields("F5XYZ", "Jean", "Berlin", "SetMode BPSK31", kSameFrequency),
                           allFields("G4AAA", "Jean", "", "SetMode BPSK31", kSameFrequency)})));
    EXPECT_EQ(logClears(), 0u);  // fldigi's entry is empty: nothing to clear
    tick();  // the host's form holds the last contact; fldigi's cleared fields follow
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 ", "SetQsoField 1 "));
}

struct LateModeRow {
    const char* name;
    const char* mode;
    const char* submode;
    const char* fldigiModem;             // what fldigi shows now, sent to the host before the save
    std::vector<std::string> modeCalls;  // of the save
};

void PrintTo(const LateModeRow& row, std::ostream* out) {
    *out << row.name;
}

class LateModeTest : public LoggedContactsTest,
                     public ::testing::WithParamInterface<LateModeRow> {};

// A contact saved late is saved in its own mode, never in the one fldigi shows now.
TEST_P(LateModeTest, ContactIsSavedInItsOwnMode) {
    const LateModeRow& row = GetParam();
    connectBoth();
    fldigiShows("", "", "");
    fldigi.set("modem.get_name", row.fldigiModem);
    tick();
    markers.write("<CALL:6>DL1ABC<MODE:" + std::to_string(std::string(row.mode).size()) + ">" +
                  row.mode + "<SUBMODE:" + std::to_string(std::string(row.submode).size()) + ">" +
                  row.submode + "<EOR>\n");
    tick();
    std::vector<std::string> modeCalls;
    for (const std::string& call : hostCalls()) {
        if (call.compare(0, 8, "SetMode ") == 0 || call.compare(0, 14, "RunMacro <MODE") == 0) {
            modeCalls.push_back(call);
        }
    }
    EXPECT_EQ(modeCalls, row.modeCalls);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Modes, LateModeTest,
    ::testing::Values(
        //          name            MODE      SUBMODE         fldigi shows     the save's mode calls
        LateModeRow{"SameBpsk",     "PSK",    "PSK31",        "BPSK31",        {}},
        LateModeRow{"Mfsk16",       "MFSK",   "MFSK16",       "BPSK31",        {"RunMacro <MODE:MFSK>"}},
        LateModeRow{"HellNoSub",    "HELL",   "",             "BPSK31",        {"RunMacro <MODE:HELL>"}},
        LateModeRow{"SameHell",     "HELL",   "",             "FELDHELL",      {}},
        LateModeRow{"Pskr",         "PSK",    "PSK250R",      "BPSK31",        {"RunMacro <MODEADD:PSKR>"}},
        LateModeRow{"Olivia",       "OLIVIA", "OLIVIA 8/500", "BPSK31",        {"SetMode OLIVIA 8/500"}},
        LateModeRow{"SameOlivia",   "OLIVIA", "OLIVIA 8/500", "OLIVIA-8-500",  {}},
        LateModeRow{"QpskIsNotBpsk","PSK",    "PSK31",        "QPSK31",        {"SetMode PSK31"}},
        LateModeRow{"OnlyMode",     "RTTY",   "",             "BPSK31",        {"SetMode RTTY"}},
        LateModeRow{"NoMode",       "",       "",             "MFSK16",        {}}),
    [](const ::testing::TestParamInfo<LateModeRow>& info) { return info.param.name; });
// clang-format on

struct ClearRow {
    const char* name;
    const char* fldigiCall;  // fldigi's entry when the contact DL1ABC is saved
    bool cleared;
};

void PrintTo(const ClearRow& row, std::ostream* out) {
    *out << row.name;
}

class ClearEntryTest : public LoggedContactsTest, public ::testing::WithParamInterface<ClearRow> {};

// fldigi's entry is cleared only while it still shows the contact just saved.
TEST_P(ClearEntryTest, EntryIsClearedOnlyWhenItIsTheSavedContact) {
    connectBoth();
    fldigiShows(GetParam().fldigiCall, "", "");
    markers.write(record("dl1abc", "Hans", ""));
    tick();
    EXPECT_EQ(journal.with("host RunMacro <SAVEQSO>").size(), 1u);
    EXPECT_EQ(logClears(), GetParam().cleared ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Entries, ClearEntryTest,
                         ::testing::Values(ClearRow{"SameCall", "DL1ABC", true},
                                           ClearRow{"TypedInSmallLetters", "dl1abc", true},
                                           ClearRow{"NextCallBeingTyped", "G4NEW", false},
                                           ClearRow{"AlreadyEmpty", "", false}),
                         [](const ::testing::TestParamInfo<ClearRow>& info) {
                             return info.param.name;
                         });

TEST_F(LoggedContactsTest, UndeletableMarkerSavesOnlyTheRecordsAddedSince) {
    connectBoth();
    fldigiShows("", "", "");
    markers.unrenamable = markers.undeletable = {FakeMarkerFiles::kMarker};
    markers.write(record("DL1ABC", "Hans", ""));
    tick();
    tick();  // the same file: nothing saved again, fldigi's cleared fields go out
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 ", "SetQsoField 1 "));

    markers.log(record("F5XYZ", "Jean", ""));
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 F5XYZ", "SetQsoField 1 Jean"}})));
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), IsEmpty());
}

struct DamagedRow {
    const char* name;
    std::string content;  // what the marker holds
    bool keptAside;
};

void PrintTo(const DamagedRow& row, std::ostream* out) {
    *out << row.name;
}

class DamagedMarkerTest : public LoggedContactsTest,
                          public ::testing::WithParamInterface<DamagedRow> {};

// Nothing in the file can stand for the contact: nothing is saved, the host's form keeps what
// it holds, and what there was is set aside for the operator.
TEST_P(DamagedMarkerTest, SavesNothing) {
    connectBoth();
    fldigiShows("DL1ABC", "Hans", "");
    tick();
    markers.write(GetParam().content);
    tick();
    tick();
    EXPECT_THAT(hostCalls(), IsEmpty());
    EXPECT_EQ(logClears(), 0u);
    EXPECT_EQ(
        markers.paths(),
        std::vector<std::string>(
            GetParam().keptAside ? std::vector<std::string>{"C:\\fl\\temp\\unsaved-contacts.adi",
                                                            "C:\\fl\\temp\\varnock-saved.txt"}
                                 : std::vector<std::string>{"C:\\fl\\temp\\varnock-saved.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, DamagedMarkerTest,
    ::testing::Values(DamagedRow{"Empty", "", false}, DamagedRow{"LineBreakOnly", "\r\n", false},
                      DamagedRow{"UnparsableRecord", "<CALL:x>F5XYZ<NAME:4>Jean<EOR>\n", true},
                      DamagedRow{"RecordWithoutCall", "<NAME:4>Jean<QTH:5>Paris<EOR>\n", true},
                      DamagedRow{"RecordWithEmptyCall", record("", "Jean", "Paris"), true}),
    [](const ::testing::TestParamInfo<DamagedRow>& info) { return info.param.name; });

TEST_F(LoggedContactsTest, UnreadableMarkerIsLeftAloneUntilItCanBeRead) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "Hans", ""));
    markers.unreadable = markers.unrenamable = {FakeMarkerFiles::kMarker};
    tick();
    EXPECT_THAT(hostCalls(), IsEmpty());
    markers.unreadable = markers.unrenamable = {};
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"}})));
}

TEST_F(LoggedContactsTest, DamagedRecordBetweenGoodOnesKeepsTheirFields) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "Hans", "") + "<CALL:99x>F5XYZ<EOR>\n" +
                  record("G4AAA", "Bob", ""));
    tick();
    std::vector<std::string> calls = hostCalls();
    tick();
    for (const std::string& call : hostCalls()) {
        calls.push_back(call);
    }
    // The damaged record in the middle saves nothing.
    EXPECT_THAT(calls, ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"},
                                               {"SetQsoField 0 G4AAA", "SetQsoField 1 Bob"}})));
}

TEST_F(LoggedContactsTest, RecordStillBeingWrittenWaitsForTheNextTick) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    const std::string second = record("F5XYZ", "Jean", "");
    const std::string claimed = "C:\\fl\\temp\\varnock-claimed-1.adif";
    markers.write(record("DL1ABC", "Hans", "") + second.substr(0, 30));
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"}})));

    markers.files[claimed] = record("DL1ABC", "Hans", "") + second;  // its writer goes on
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 F5XYZ", "SetQsoField 1 Jean"}})));
    tick();
    EXPECT_FALSE(markers.content(claimed));
}

TEST_F(LoggedContactsTest, ContactLoggedWhileSavingIsSavedOnTheNextTick) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    markers.write(record("DL1ABC", "Hans", ""));
    markers.afterRead = [&] { markers.log(record("F5XYZ", "Jean", "")); };
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"}})));

    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves({{"SetQsoField 0 F5XYZ", "SetQsoField 1 Jean"}})));
}

TEST_F(LoggedContactsTest, UnfinishedRecordThatStaysSoIsSetAsideOnTheTickAfter) {
    connectBoth();
    fldigiShows("DL1ABC", "Hans", "");
    tick();
    markers.write("<CALL:6>F5X");
    tick();
    tick();
    tick();
    EXPECT_THAT(hostCalls(), IsEmpty());
    EXPECT_EQ(logClears(), 0u);
    EXPECT_THAT(markers.content("C:\\fl\\temp\\unsaved-contacts.adi").value_or(""),
                ::testing::HasSubstr("[CALL:6]F5X"));
}

TEST_F(LoggedContactsTest, FrequencyAndModeFromTheRecord) {
    connectBoth();
    fldigiShows("", "", "");
    fldigi.set("log.get_frequency", "7035.000");  // the radio has moved on since
    fldigi.set("modem.get_name", "RTTY");
    markers.write(record("DL1ABC", "Hans", "") + record("F5XYZ", "Jean", "") +
                  record("G4AAA", "Bob", ""));
    markers.files[FakeMarkerFiles::kMarker].replace(
        markers.files[FakeMarkerFiles::kMarker].find("14.071500"), 9, "21,074000");
    tick();
    EXPECT_THAT(hostCalls(),
                ElementsAreArray(saves(
                    {{"SetQsoField 0 DL1ABC", "SetQsoField 1 Hans", "SetQsoField 2 599",
                      "SetQsoField 5 599", "SetMode PSK", "SetFrequency 21074000.0"},
                     allFields("F5XYZ", "Jean", "", "SetMode PSK", "SetFrequency 14071500.0"),
                     allFields("G4AAA", "Bob", "", "SetMode PSK", "SetFrequency 14071500.0")})));
    tick();  // fldigi's own mode and frequency follow
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 ", "SetQsoField 1 ", "SetMode RTTY",
                                         "SetFrequency 7035000.0"));
}

TEST_F(LoggedContactsTest, OldRecordsAreSetAsideAndTheCaptionKeepsItsText) {
    connectBoth();
    fldigiShows("", "", "");
    tick();
    const auto at = [](const std::string& call, const char* date, const char* time) {
        return "<QSO_DATE:8>" + std::string(date) + "<TIME_ON:4>" + time +
               "<CALL:" + std::to_string(call.size()) + ">" + call + "<EOR>\n";
    };
    markers.write(at("G4OLD", "20251208", "1200") + at("G4OLD", "20261208", "1129") +
                  at("DL1ABC", "20261208", "1131"));
    tick();
    EXPECT_THAT(journal.with("host SetQsoField 0 "), ElementsAre("DL1ABC"));
    EXPECT_THAT(journal.with("view caption "),
                ElementsAre("Fldigi<->Kebrin by Zorvath ---> Connected"));
    EXPECT_EQ(events.of<event::RecordsSetAside>().size(), 1u);
}

}  // namespace
}  // namespace pollcycle::testing
