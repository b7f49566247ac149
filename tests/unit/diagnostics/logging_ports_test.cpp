#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/diagnostics/logging_ports.h"
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
    LogContext context{log};

    // The events written by one tick, without their time stamps.
    std::vector<std::string> tick() {
        files.current.clear();
        runLoggedTick(context, state, fldigi, host, markers, view);
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
    markers.present = {MarkerEntry{"log.adif", 1234, 116444736000000000ULL}};
    const std::vector<std::string> events = tick();
    ASSERT_EQ(events.size(), 10u);
    EXPECT_THAT(std::vector<std::string>(events.begin(), events.begin() + 4),
                ElementsAre("host <- SetQsoField call      = \"DL1ABC\"",
                            "host <- RunMacro    <MODEADD:PSKR>",
                            "host <- SetQsoField notes     = \"Tom & \\\"Jerry\\\"\"",
                            "host <- Frequency   7036500.0 Hz"));
    EXPECT_THAT(events[4], ::testing::StartsWith("contact logged in fldigi: marker 1234 bytes, "
                                                 "written 19"));
    EXPECT_THAT(std::vector<std::string>(events.begin() + 5, events.end()),
                ElementsAre("host <- RunMacro    <FIXSTARTTIME>", "host <- RunMacro    <SAVEQSO>",
                            "host <- RunMacro    <CURSOR:TX>",
                            "marker deleted: C:\\fl\\temp\\log.adif", "fldigi <- log.clear"));
}

TEST_F(LoggedTickTest, AMarkerThatStaysAndAFailedClearGiveTheirReasons) {
    connectBoth();
    markers.present = {MarkerEntry{"log.adif", 10, 0}};
    markers.deletable = false;
    fldigi.failing = {"log.clear"};
    fldigi.errorText = "HTTP status 500";
    context.lastErrorText = [] { return std::string("Access is denied."); };
    EXPECT_THAT(tick(), ::testing::IsSupersetOf(
                            {"marker not deleted: C:\\fl\\temp\\log.adif: Access is denied.",
                             "fldigi <- log.clear (failed: HTTP status 500)"}));
}

TEST_F(LoggedTickTest, FailedReadsWithTheBoxAnswers) {
    connectBoth();
    fldigi.failing = {"log.get_name"};
    fldigi.errorText = "Connection refused";
    view.answer = MessageAnswer::Cancel;
    EXPECT_THAT(tick(), ElementsAre("fldigi read failed: log.get_name: Connection refused",
                                    "message box \"FLDIGI not loaded!\" answered Cancel"));
    view.answer = MessageAnswer::Ok;
    EXPECT_THROW(tick(), ProcessExit);
    EXPECT_THAT(files.current, ::testing::HasSubstr("answered OK\n"));
    EXPECT_THAT(files.current, ::testing::EndsWith(" process ends with exit code 0\n"));
}

TEST_F(LoggedTickTest, AFailedHostCallIsWrittenAndStillStopsTheTick) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    host.throwOn = "SetQsoField 0";
    EXPECT_THROW(tick(), HostCallFailed);
    EXPECT_THAT(files.current,
                ::testing::EndsWith(" host call failed: SetQsoField call      = \"DL1ABC\": host "
                                    "refused SetQsoField 0 DL1ABC\n"));
}

TEST_F(LoggedTickTest, TextsAreWrittenAsTheHostReadsThem) {
    connectBoth();
    context.utf8 = [](const std::string& text) { return "<" + text + ">"; };
    fldigi.set("log.get_name", "x");
    EXPECT_THAT(tick(), ElementsAre("host <- SetQsoField name      = \"<x>\""));
}

}  // namespace
}  // namespace diagnostics::testing
