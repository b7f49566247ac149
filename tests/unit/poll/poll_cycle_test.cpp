#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "poll_fixture.h"

namespace pollcycle::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Each side before and after the tick.
enum class Host { Absent, Running, Attached };
enum class Fldigi { Down, Up, Connected };

// What the tick did.
enum Did : unsigned {
    Nothing = 0,
    TryAttach = 1,     // asked the host for its object
    FirstContact = 2,  // called "fldigi.name"
    ReadFields = 4,    // read the fields: caption, link mark and the callsign sent
};

struct StateRow {
    const char* name;
    Host host;
    Fldigi fldigi;
    unsigned did;
    Host hostAfter;
    Fldigi fldigiAfter;
};

void PrintTo(const StateRow& row, std::ostream* out) {
    *out << row.name;
}

class StateTableTest : public PollCycleTest, public ::testing::WithParamInterface<StateRow> {};

TEST_P(StateTableTest, TickDoesWhatItsStateCallsFor) {
    const StateRow& row = GetParam();
    state.hostAttached = row.host == Host::Attached;
    state.fldigiConnected = row.fldigi == Fldigi::Connected;
    host.running = row.host != Host::Absent;
    fldigi.down = row.fldigi == Fldigi::Down;
    fldigi.set("log.get_call", "DL1ABC");

    tick();

    EXPECT_EQ(journal.events.front(), "view killTimer 1500");
    EXPECT_TRUE(timerRearmed());
    EXPECT_EQ(!journal.with("host attach").empty(), (row.did & TryAttach) != 0);
    EXPECT_EQ(!journal.with("fldigi#1 fldigi.name").empty(), (row.did & FirstContact) != 0);
    const bool read = (row.did & ReadFields) != 0;
    EXPECT_EQ(!journal.with("fldigi#2 log.get_call").empty() ||
                  !journal.with("fldigi#1 log.get_call").empty(),
              read);
    EXPECT_EQ(!journal.with("view caption ").empty(), read);
    EXPECT_EQ(!journal.with("view showLinkMark").empty(), read);
    EXPECT_EQ(!journal.with("host SetQsoField 0 DL1ABC").empty(), read);
    EXPECT_THAT(journal.with("view box"), IsEmpty());
    EXPECT_EQ(state.hostAttached, row.hostAfter == Host::Attached);
    EXPECT_EQ(state.fldigiConnected, row.fldigiAfter == Fldigi::Connected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    States, StateTableTest,
    ::testing::Values(
        //       name                      host            fldigi             did                        host after      fldigi after
        StateRow{"NothingRunning",         Host::Absent,   Fldigi::Down,      TryAttach | FirstContact,  Host::Absent,   Fldigi::Down},
        StateRow{"OnlyFldigiRunning",      Host::Absent,   Fldigi::Up,        TryAttach | FirstContact,  Host::Absent,   Fldigi::Connected},
        StateRow{"OnlyHostRunning",        Host::Running,  Fldigi::Down,      TryAttach | FirstContact,  Host::Attached, Fldigi::Down},
        StateRow{"FldigiKnownHostAbsent",  Host::Absent,   Fldigi::Connected, TryAttach,                 Host::Absent,   Fldigi::Connected},
        StateRow{"HostKnownFldigiAbsent",  Host::Attached, Fldigi::Down,      FirstContact,              Host::Attached, Fldigi::Down},
        StateRow{"HostKnownFldigiAppears", Host::Attached, Fldigi::Up,        FirstContact | ReadFields, Host::Attached, Fldigi::Connected},
        StateRow{"BothKnown",              Host::Attached, Fldigi::Connected, ReadFields,                Host::Attached, Fldigi::Connected}),
    [](const ::testing::TestParamInfo<StateRow>& info) { return info.param.name; });
// clang-format on

TEST_F(PollCycleTest, AttachAndFirstContactInOneTickAlreadyCopyFields) {
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("fldigi.config_dir", "C:/fldigi/files");

    tick();

    const std::vector<std::string> expectedStart = {
        "view killTimer 1500",
        "host attach",
        "view flag Host 1",
        "view text Host Kebrin working",
        "view face Host 00FF00",
        "view captionColor Host 010101",
        "view moveFlags",
        "fldigi#1 fldigi.name",
        "fldigi#1 fldigi.config_dir",
        "view flag Fldigi 1",
        "view text Fldigi Fldigi working",
        "view face Fldigi 00FF00",
        "view captionColor Fldigi 010101",
        "view moveFlags",
        "view caption Fldigi<->Kebrin by Zorvath ---> Connected",
        "view showLinkMark",
        "fldigi#2 log.get_call",
    };
    ASSERT_GE(journal.events.size(), expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(journal.events.begin(),
                                       journal.events.begin() + expectedStart.size()),
              expectedStart);
    EXPECT_THAT(hostCalls(), ElementsAre("attach", "SetQsoField 0 DL1ABC"));
    EXPECT_EQ(state.markerPath, "C:\\fldigi\\files\\temp\\log.adif");
    EXPECT_TRUE(timerRearmed());
}

TEST_F(PollCycleTest, FldigiFoundWhileHostAbsentReadsNothingAndLeavesCaption) {
    host.running = false;
    tick();
    tick();
    EXPECT_TRUE(state.fldigiConnected);
    EXPECT_THAT(journal.events,
                ElementsAre("view killTimer 1500", "host attach", "view setTimer 1500 1000"));
}

TEST_F(PollCycleTest, FailedFirstContactShowsNoMessageAndIsRetried) {
    state.hostAttached = true;
    fldigi.down = true;
    for (int i = 0; i < 3; ++i) {
        tick();
        EXPECT_THAT(journal.events, ElementsAre("view killTimer 1500",
                                                "fldigi#" + std::to_string(i + 1) + " fldigi.name",
                                                "view setTimer 1500 1000"));
    }
    EXPECT_FALSE(state.fldigiConnected);
}

struct MarkerPathRow {
    const char* name;
    bool configDirOk;
    bool configDirIsString;
    const char* configDir;
    const char* expectedPath;
};

void PrintTo(const MarkerPathRow& row, std::ostream* out) {
    *out << row.name;
}

class MarkerPathTest : public PollCycleTest, public ::testing::WithParamInterface<MarkerPathRow> {};

TEST_P(MarkerPathTest, FirstContactBuildsMarkerPath) {
    const MarkerPathRow& row = GetParam();
    state.hostAttached = true;
    fldigi.replies["fldigi.config_dir"] =
        FldigiReply{row.configDirOk, row.configDirIsString, row.configDir};

    tick();

    EXPECT_TRUE(state.fldigiConnected);
    EXPECT_EQ(state.markerPath, row.expectedPath);
    EXPECT_THAT(journal.with("files probe "), ::testing::Contains(row.expectedPath));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MarkerPathTest,
    ::testing::Values(MarkerPathRow{"Forward", true, true, "C:/fldigi/files",
                                    "C:\\fldigi\\files\\temp\\log.adif"},
                      MarkerPathRow{"TrailingSlashKept", true, true, "C:/fldigi/",
                                    "C:\\fldigi\\\\temp\\log.adif"},
                      MarkerPathRow{"Backslashes", true, true, "D:\\fl", "D:\\fl\\temp\\log.adif"},
                      MarkerPathRow{"CallFails", false, false, "", "\\temp\\log.adif"},
                      MarkerPathRow{"NotAString", true, false, "", "\\temp\\log.adif"}),
    [](const ::testing::TestParamInfo<MarkerPathRow>& info) { return info.param.name; });

TEST_F(PollCycleTest, CaptionAndLinkMarkOnEveryConnectedTick) {
    connectBoth();
    for (int i = 0; i < 3; ++i) {
        tick();
        EXPECT_THAT(journal.with("view caption "),
                    ElementsAre("Fldigi<->Kebrin by Zorvath ---> Connected"));
        EXPECT_THAT(journal.with("view showLinkMark"), ElementsAre(""));
    }
}

TEST_F(PollCycleTest, ReadsElevenFieldsInReadOrderEachOnItsOwnSession) {
    connectBoth();
    tick();
    EXPECT_THAT(journal.with("fldigi#"),
                ElementsAre("1 log.get_call", "2 log.get_name", "3 log.get_qth",
                            "4 log.get_frequency", "5 log.get_rst_in", "6 log.get_rst_out",
                            "7 modem.get_name", "8 log.get_locator", "9 log.get_state",
                            "10 log.get_province", "11 log.get_notes"));
}

// --- logged contacts ----------------------------------------------------------------------

const char* const kRecord = "<CALL:6>DL1ABC<EOR>\n";
const std::string kClaimed = "C:\\fl\\temp\\varnock-claimed-1.adif";

TEST_F(PollCycleTest, MarkerCommitsAfterThatTicksFieldChanges) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    markers.write(kRecord);

    tick();

    const auto& e = journal.events;
    const auto at = [&](const std::string& event) {
        return std::find(e.begin(), e.end(), event) - e.begin();
    };
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 DL1ABC", "RunMacro <FIXSTARTTIME>",
                                         "RunMacro <SAVEQSO>", "RunMacro <CURSOR:TX>"));
    EXPECT_LT(at("files rename C:\\fl\\temp\\log.adif " + kClaimed),
              at("host RunMacro <FIXSTARTTIME>"));
    // Saved once the host took "<SAVEQSO>": the record of saves is written before "<CURSOR:TX>".
    EXPECT_LT(at("host RunMacro <SAVEQSO>"), at("files replace C:\\fl\\temp\\varnock-saved.txt"));
    EXPECT_LT(at("files replace C:\\fl\\temp\\varnock-saved.txt"), at("host RunMacro <CURSOR:TX>"));
    EXPECT_EQ(e.back(), "view setTimer 1500 1000");
    EXPECT_EQ(e[e.size() - 2], "fldigi#12 log.clear");  // a session of its own
    EXPECT_EQ(state.lastSent.callsign, "DL1ABC");       // cleared fields come next tick

    fldigi.set("log.get_call", "");
    tick();
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 "));
    EXPECT_THAT(journal.with("files remove "), ElementsAre(kClaimed));
}

TEST_F(PollCycleTest, OnlyEntriesNamedLogAdifCount) {
    connectBoth();
    markers.files = {{"C:\\fl\\temp\\LOG.ADIF", kRecord}, {"C:\\fl\\temp\\log.adi", kRecord}};
    tick();
    EXPECT_THAT(hostCalls(), IsEmpty());
    EXPECT_THAT(journal.with("files remove"), IsEmpty());
}

TEST_F(PollCycleTest, LogClearFailureIsIgnored) {
    connectBoth();
    markers.write(kRecord);
    fldigi.failing = {"log.clear"};
    tick();
    EXPECT_THAT(journal.with("view box"), IsEmpty());
    EXPECT_TRUE(timerRearmed());
}

TEST_F(PollCycleTest, UndeletableMarkerSavesItsContactOnce) {
    connectBoth();
    markers.write(kRecord);
    markers.unrenamable = markers.undeletable = {FakeMarkerFiles::kMarker};

    std::size_t saves = 0;
    for (int i = 0; i < 4; ++i) {
        tick();
        EXPECT_TRUE(timerRearmed());
        saves += journal.with("host RunMacro <SAVEQSO>").size();
    }
    EXPECT_EQ(saves, 1u);
}

TEST_F(PollCycleTest, UndeletableMarkerThatGrowsIsSavedAgain) {
    connectBoth();
    markers.unrenamable = markers.undeletable = {FakeMarkerFiles::kMarker};
    markers.write(kRecord);
    tick();
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), IsEmpty());

    markers.log("<CALL:5>F5XYZ<EOR>\n");  // fldigi appended the next contact
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), ElementsAre(""));
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), IsEmpty());
}

TEST_F(PollCycleTest, MarkerGoneAndBackIsANewFile) {
    connectBoth();
    markers.unrenamable = {FakeMarkerFiles::kMarker};
    markers.write(kRecord);
    tick();
    markers.files.erase(FakeMarkerFiles::kMarker);
    tick();
    markers.write(kRecord);
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), ElementsAre(""));
}

TEST_F(PollCycleTest, DeletedMarkerSavesEveryNewContact) {
    connectBoth();
    for (int i = 0; i < 3; ++i) {
        markers.write(kRecord);  // the same bytes each time
        tick();
        EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), ElementsAre(""));
    }
}

TEST_F(PollCycleTest, SkippedHostCallsLeaveTheContactForTheNextTry) {
    connectBoth();
    markers.write(kRecord);
    host.reachesHost = false;  // Finish ended the session while a box of the tick was open
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), ElementsAre(""));
    host.reachesHost = true;
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), ElementsAre(""));
    tick();
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), IsEmpty());
}

// --- failures -----------------------------------------------------------------------------

TEST_F(PollCycleTest, CancelKeepsTheHostsFieldsWhenFldigiStopsAnswering) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_frequency", "14070.000");
    fldigi.set("modem.get_name", "BPSK31");
    tick();
    const LastSentFields before = state.lastSent;

    fldigi.down = true;
    view.answer = MessageAnswer::Cancel;
    tick();

    EXPECT_EQ(journal.with("view box FLDIGI not loaded!").size(), 11u);
    EXPECT_THAT(hostCalls(), IsEmpty());
    EXPECT_EQ(state.lastSent.callsign, before.callsign);
    EXPECT_EQ(state.lastSent.frequency, "14070.000");
    EXPECT_EQ(state.lastSent.modem, "BPSK31");
    EXPECT_TRUE(timerRearmed());

    fldigi.down = false;  // back: nothing changed, so nothing to send
    tick();
    EXPECT_THAT(hostCalls(), IsEmpty());
}

TEST_F(PollCycleTest, CancelSkipsOnlyTheFailedField) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_name", "Hans");
    fldigi.failing = {"log.get_call"};
    tick();
    EXPECT_THAT(journal.with("view box "), ElementsAre("FLDIGI not loaded!"));
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 1 Hans"));
    EXPECT_EQ(state.lastSent.callsign, "");
}

TEST_F(PollCycleTest, OkEndsTheProcessAtOnce) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.failing = {"log.get_name"};
    view.answer = MessageAnswer::Ok;

    try {
        tick();
        FAIL() << "the tick returned";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 0u);
    }
    EXPECT_EQ(journal.events.back(), "view exit 0");
    EXPECT_THAT(journal.with("fldigi#"), ElementsAre("1 log.get_call", "2 log.get_name"));
    EXPECT_THAT(hostCalls(), IsEmpty());
}

TEST_F(PollCycleTest, HostFailureShowsItsBoxWithinTheTickAndTheHostIsAttachedAgain) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_name", "Hans");
    host.throwOn = "SetQsoField 0";

    tick();

    const std::vector<std::string> tail(journal.events.end() - 10, journal.events.end());
    EXPECT_THAT(tail, ElementsAre("host SetQsoField 0 DL1ABC", "view flag Host 0",
                                  "view text Host Kebrin not load !", "view face Host FF00FF",
                                  "view captionColor Host 00FFFF", "view moveFlags",
                                  "view hideLinkMark", "view caption Fldigi<->Kebrin by Zorvath",
                                  "view error host refused SetQsoField 0 DL1ABC",
                                  "view setTimer 1500 1000"));
    ASSERT_EQ(events.of<event::HostLost>().size(), 1u);
    EXPECT_EQ(events.of<event::HostLost>()[0].error, "host refused SetQsoField 0 DL1ABC");
    EXPECT_FALSE(state.hostAttached);

    host.throwOn.clear();  // the host runs again: a fresh form gets every non-empty field
    tick();
    EXPECT_THAT(hostCalls(), ElementsAre("attach", "SetQsoField 0 DL1ABC", "SetQsoField 1 Hans"));
    EXPECT_THAT(journal.with("view text Host "), ElementsAre("Kebrin working"));
}

TEST_F(PollCycleTest, HostAbsentAfterItsFailureIsTriedEveryTickWithoutABox) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    host.throwOn = "SetQsoField";
    tick();
    host.running = false;
    for (int i = 0; i < 2; ++i) {
        tick();
        EXPECT_THAT(journal.events,
                    ElementsAre("view killTimer 1500", "host attach", "view setTimer 1500 1000"));
    }
}

// A failure before "<SAVEQSO>" was taken leaves the contact to save once the host is back; one
// after it does not save it again.
TEST_F(PollCycleTest, ContactIsSavedOnceWhicheverCommitCallFailed) {
    struct Row {
        const char* failing;
        std::size_t saveCalls;  // "<SAVEQSO>" calls made, the failed one included
    };
    for (const Row& row : {Row{"RunMacro <FIXSTARTTIME>", 1}, Row{"RunMacro <SAVEQSO>", 2},
                           Row{"RunMacro <CURSOR:TX>", 1}}) {
        const char* failing = row.failing;
        SCOPED_TRACE(failing);
        state = PollState();
        events.events.clear();
        markers.files.clear();
        connectBoth();
        markers.write(kRecord);
        host.throwOn = failing;
        tick();
        EXPECT_TRUE(timerRearmed());
        host.throwOn.clear();
        std::size_t saves = journal.with("host RunMacro <SAVEQSO>").size();
        for (int i = 0; i < 3; ++i) {
            tick();
            saves += journal.with("host RunMacro <SAVEQSO>").size();
        }
        EXPECT_EQ(events.of<event::ContactSaved>().size(), 1u);
        EXPECT_EQ(saves, row.saveCalls);
    }
}

// The look an indicator goes back to, and the one it comes back with.
const std::vector<std::string> kFldigiNotLoaded = {"flag Fldigi 0",
                                                   "text Fldigi Fldigi not load !",
                                                   "face Fldigi FF00FF",
                                                   "captionColor Fldigi 00FFFF",
                                                   "moveFlags",
                                                   "hideLinkMark",
                                                   "caption Fldigi<->Kebrin by Zorvath"};

TEST_F(PollCycleTest, FldigiLostShowsItsStartLookAndIsFoundAgainWithItsNewFolder) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    tick();
    fldigi.down = true;
    fldigi.errorText = "connection refused";

    tick();  // the failing reads each ask; Cancel goes on
    EXPECT_EQ(journal.with("view box ").size(), kFieldCount);
    std::vector<std::string> look = journal.with("view ");
    look.erase(look.begin(), look.begin() + 3);  // timer, caption, link mark
    EXPECT_EQ(std::vector<std::string>(look.begin(), look.begin() + 7), kFldigiNotLoaded);
    ASSERT_EQ(events.of<event::FldigiLost>().size(), 1u);
    EXPECT_EQ(events.of<event::FldigiLost>()[0].error, "connection refused");

    tick();  // then found again as at start: without a box
    EXPECT_THAT(journal.with("fldigi#"), ElementsAre("23 fldigi.name"));
    EXPECT_THAT(journal.with("view "), ElementsAre("killTimer 1500", "setTimer 1500 1000"));

    fldigi.down = false;
    fldigi.set("fldigi.config_dir", "D:/other");
    markers.folders.insert("D:\\other\\temp");
    markers.files["D:\\other\\temp\\log.adif"] = "<CALL:5>F5XYZ<EOR>\n";
    tick();
    EXPECT_EQ(state.markerPath, "D:\\other\\temp\\log.adif");
    EXPECT_THAT(journal.with("view text Fldigi "), ElementsAre("Fldigi working"));
    EXPECT_THAT(hostCalls(), ::testing::Contains("SetQsoField 0 F5XYZ"));
    EXPECT_THAT(journal.with("host RunMacro <SAVEQSO>"), ElementsAre(""));
}

}  // namespace
}  // namespace pollcycle::testing
