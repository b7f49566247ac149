#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/diagnostics/event_log.h"
#include "app/diagnostics/logging_ports.h"
#include "app/poll/poll_cycle.h"
#include "memory_log_file.h"
#include "poll_fakes.h"

namespace diagnostics::testing {
namespace {

using pollcycle::MarkerEntry;
using pollcycle::MessageAnswer;
using pollcycle::testing::FakeFldigi;
using pollcycle::testing::FakeHost;
using pollcycle::testing::FakeMarkerFiles;
using pollcycle::testing::FakeView;
using pollcycle::testing::HostCallFailed;
using pollcycle::testing::Journal;
using pollcycle::testing::ProcessExit;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class LoggedTickTest : public ::testing::Test {
  protected:
    Journal journal;
    pollcycle::PollState state;
    FakeFldigi fldigi{journal};
    FakeHost host{journal};
    FakeMarkerFiles markers{journal};
    FakeView view{journal};
    MemoryFiles files;
    DiagnosticLog log{std::make_unique<MemoryLogFile>(files), kLogLimitBytes, fixedTime};
    EventLog eventLog{log};

    // The events written by one tick, without their time stamps.
    std::vector<std::string> tick() {
        files.current.clear();
        LoggingHostPort loggedHost(host, log);
        pollcycle::PollCycle(state, {fldigi, loggedHost, markers, view, eventLog}).OnTimer();
        std::vector<std::string> events;
        std::istringstream in(files.current);
        for (std::string line; std::getline(in, line);) {
            events.push_back(line.substr(24));
        }
        return events;
    }

    void connectBoth() {
        state.hostAttached = state.fldigiConnected = true;
        state.markerPath = "C:\\fl\\temp\\log.adif";
    }
};

TEST_F(LoggedTickTest, LastingAbsencesAreWrittenOnceThenTheConnections) {
    host.running = false;
    fldigi.down = true;
    fldigi.errorText = "The server name or address could not be resolved";
    EXPECT_THAT(tick(), ElementsAre("host not running (tried every second)",
                                    "fldigi not answering (tried every second): fldigi.name: "
                                    "The server name or address could not be resolved"));
    EXPECT_THAT(tick(), IsEmpty());
    host.running = true;
    fldigi.down = false;
    fldigi.set("fldigi.name", "fldigi");
    fldigi.set("fldigi.config_dir", "C:/fl/");
    markers.folders = {"C:\\fl\\\\temp"};
    EXPECT_THAT(tick(), ElementsAre("host attached", "fldigi connected: fldigi.name = \"fldigi\"",
                                    "fldigi configuration folder \"C:/fl/\""));
    EXPECT_THAT(tick(), IsEmpty()) << "a quiet tick writes nothing";
}

TEST_F(LoggedTickTest, EveryHostCallThenTheCommitInTheOrderSent) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_frequency", "7036.500");
    fldigi.set("modem.get_name", "PSK500R");
    fldigi.set("log.get_notes", "Tom & \"Jerry\"");
    markers.write("<CALL:6>DL1ABC<EOR>\n");
    const std::vector<std::string> events = tick();
    ASSERT_EQ(events.size(), 10u);
    EXPECT_THAT(std::vector<std::string>(events.begin(), events.begin() + 5),
                ElementsAre("marker taken over: C:\\fl\\temp\\log.adif -> "
                            "C:\\fl\\temp\\varnock-claimed-1.adif",
                            "host <- SetQsoField call      = \"DL1ABC\"",
                            "host <- RunMacro    <MODEADD:PSKR>",
                            "host <- SetQsoField notes     = \"Tom & \\\"Jerry\\\"\"",
                            "host <- Frequency   7036500.0 Hz"));
    EXPECT_THAT(
        std::vector<std::string>(events.begin() + 5, events.end()),
        ElementsAre("contact \"DL1ABC\" logged in fldigi (varnock-claimed-1.adif): saving it "
                    "in the host",
                    "host <- RunMacro    <FIXSTARTTIME>", "host <- RunMacro    <SAVEQSO>",
                    "host <- RunMacro    <CURSOR:TX>", "fldigi <- log.clear"));
    EXPECT_THAT(tick(), ElementsAre("marker deleted: C:\\fl\\temp\\varnock-claimed-1.adif"));
}

TEST_F(LoggedTickTest, AMarkerThatStaysAndAFailedClearGiveTheirReasons) {
    connectBoth();
    markers.write("<CALL:6>DL1ABC<EOR>\n");
    markers.undeletable = {"C:\\fl\\temp\\varnock-claimed-1.adif"};
    fldigi.set("log.get_call", "DL1ABC");  // fldigi still shows the contact: it is cleared
    fldigi.failing = {"log.clear"};
    fldigi.errorText = "HTTP status 500";
    EXPECT_THAT(tick(), ::testing::Contains("fldigi <- log.clear (failed: HTTP status 500)"));
    EXPECT_THAT(tick(), ::testing::Contains(
                            "saved marker C:\\fl\\temp\\varnock-claimed-1.adif cannot be "
                            "deleted (Access is denied.): it is kept, and its contacts stay "
                            "saved"));
    EXPECT_THAT(tick(), IsEmpty()) << "written once";
    markers.undeletable.clear();
    EXPECT_THAT(
        tick(),
        ElementsAre("saved marker C:\\fl\\temp\\varnock-claimed-1.adif can be deleted again",
                    "marker deleted: C:\\fl\\temp\\varnock-claimed-1.adif"));
}

TEST_F(LoggedTickTest, FailedReadsWithTheBoxAnswers) {
    connectBoth();
    fldigi.failing = {"log.get_name"};
    fldigi.errorText = "Connection refused";
    view.answer = MessageAnswer::Cancel;
    EXPECT_THAT(tick(), ElementsAre("fldigi read failed: log.get_name: Connection refused",
                                    "fldigi lost: Connection refused",
                                    "message box \"FLDIGI not loaded!\" answered Cancel"));
    view.answer = MessageAnswer::Ok;
    EXPECT_THROW(tick(), ProcessExit);
    EXPECT_THAT(files.current, ::testing::HasSubstr("answered OK\n"));
    EXPECT_THAT(files.current, ::testing::EndsWith(" process ends with exit code 0\n"));
}

TEST_F(LoggedTickTest, AFailedHostCallIsWrittenAndTheHostIsLost) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    host.throwOn = "SetQsoField 0";
    EXPECT_NO_THROW(tick());
    EXPECT_THAT(files.current,
                ::testing::HasSubstr(" host call failed: SetQsoField call      = \"DL1ABC\": host "
                                     "refused SetQsoField 0 DL1ABC\n"));
    EXPECT_THAT(files.current,
                ::testing::HasSubstr(" host lost: host refused SetQsoField 0 DL1ABC\n"));
    EXPECT_THAT(files.current, ::testing::EndsWith(" answered OK\n"));
}

// fldigi's texts are decoded where they enter; the log writes what the host is given.
TEST_F(LoggedTickTest, TextsAreWrittenAsTheHostReadsThem) {
    connectBoth();
    fldigi.decoder = [](const std::string& text) { return "<" + text + ">"; };
    fldigi.set("log.get_name", fldigi.decodeText("x"));
    EXPECT_THAT(tick(), ElementsAre("host <- SetQsoField name      = \"<x>\""));
    EXPECT_THAT(journal.with("host "), ElementsAre("SetQsoField 1 <x>"));
}

}  // namespace
}  // namespace diagnostics::testing
