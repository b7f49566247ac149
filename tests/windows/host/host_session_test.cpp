// The host session against kebrin-sim running in another process.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/host_session.h"
#include "com_test_support.h"
#include "framework/automation_error.h"
#include "framework/text_conversion.h"
#include "sim_commands.h"
#include "sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(HostSession, AllFourMembersArriveWithTheirArguments) {
    HostSession host;
    ASSERT_EQ(::GetACP(), 1251u) << "the CP1251 row assumes the Cyrillic ANSI code page";
    SimProcess sim;
    ASSERT_TRUE(sim.Ready()) << sim.Problem();

    const auto start = Clock::now();
    ASSERT_TRUE(host.attach());
    RecordProperty("attach_ms", std::to_string(millisecondsSince(start)));
    {
        SessionEnd ending(host);
        ASSERT_TRUE(host.callsReachHost());

        host.setQsoField(0, "DL1ABC");
        host.setQsoField(
            1, Utf8FromAnsiOrUtf8("\xC8\xE2\xE0\xED"));  // CP1251, as the fldigi port decodes it
        host.setQsoField(1,
                         "M\xC3\xBC"
                         "ller");  // UTF-8
        host.setQsoField(3, "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");
        host.setQsoField(4, "say \"hi\"\\ \t");
        host.setQsoField(10, "");
        host.runMacro("<SAVEQSO>");
        host.setFrequency(14070000.0);
        host.setFrequency(7035500.25);
        host.setMode("BPSK31");
        host.runMacro("<MODE:HELL>");
    }
    EXPECT_TRUE(comIsUninitialised());

    const std::vector<std::string> expected = {
        R"({"seq":1,"call":"SetQsoField","args":[0,"DL1ABC"]})",
        "{\"seq\":2,\"call\":\"SetQsoField\",\"args\":[1,\"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\"]}",
        "{\"seq\":3,\"call\":\"SetQsoField\",\"args\":[1,\"M\xC3\xBCller\"]}",
        "{\"seq\":4,\"call\":\"SetQsoField\",\"args\":[3,\"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\"]}",
        R"({"seq":5,"call":"SetQsoField","args":[4,"say \"hi\"\\ \t"]})",
        R"({"seq":6,"call":"SetQsoField","args":[10,""]})",
        R"({"seq":7,"call":"RunMacro","args":["<SAVEQSO>"]})",
        R"({"seq":8,"call":"Frequency","args":[14070000.0]})",
        R"({"seq":9,"call":"Frequency","args":[7035500.25]})",
        R"({"seq":10,"call":"Mode","args":["BPSK31"]})",
        R"({"seq":11,"call":"RunMacro","args":["<MODE:HELL>"]})",
    };
    EXPECT_EQ(sim.JournalLines(), expected);
    EXPECT_EQ(sim.JournalBytes().find('\r'), std::string::npos) << "journal lines end in LF";

    const std::wstring shown = sim.WindowText();
    EXPECT_NE(shown.find(L"0 call: DL1ABC"), std::wstring::npos) << "window shows the fields";
    EXPECT_NE(shown.find(L"1 name: M\u00FCller"), std::wstring::npos);
    EXPECT_NE(shown.find(L"Saved contacts: 1"), std::wstring::npos);
    EXPECT_NE(shown.find(L"Mode: HELL"), std::wstring::npos);
}

enum class HostEnd { Quits, IsKilled };

// Attach, let the host end the given way, then call again: the call must raise, promptly.
void expectCallsFailAfterHostEnds(HostEnd end) {
    HostSession host;
    SimProcess sim;
    ASSERT_TRUE(sim.Ready()) << sim.Problem();
    ASSERT_TRUE(host.attach());
    SessionEnd ending(host);
    host.setQsoField(0, "DL1ABC");

    if (end == HostEnd::Quits) {
        ASSERT_TRUE(sim.Quit());
    } else {
        sim.Kill();
    }
    ASSERT_FALSE(sim.Running());

    const auto start = Clock::now();
    HRESULT code = S_OK;
    try {
        host.setQsoField(0, "DL2XYZ");
    } catch (const AutomationError& error) {
        code = error.hresult();
        EXPECT_NE(std::string(error.what()).find("Automation error 0x"), std::string::npos)
            << error.what();
    }
    const double elapsed = millisecondsSince(start);
    testing::Test::RecordProperty("failure_ms", std::to_string(elapsed));
    EXPECT_TRUE(FAILED(code)) << "the call after the host went away must raise";
    EXPECT_LT(elapsed, 1000.0);
    // The failed call ended the broken session: nothing more is called, COM is ended, and the
    // next attach starts afresh.
    EXPECT_FALSE(host.callsReachHost());
    EXPECT_TRUE(comIsUninitialised());
    EXPECT_NO_THROW(host.runMacro("<SAVEQSO>"));
    EXPECT_FALSE(host.attach()) << "no host runs now";

    SimProcess again;
    ASSERT_TRUE(again.Ready()) << again.Problem();
    ASSERT_TRUE(host.attach()) << "the host started again is attached";
    host.setMode("CW");
    EXPECT_EQ(again.JournalLines(),
              std::vector<std::string>{R"({"seq":1,"call":"Mode","args":["CW"]})"});
    host.end();
}

TEST(HostSession, CallAfterTheHostQuitRaisesWithinASecond) {
    expectCallsFailAfterHostEnds(HostEnd::Quits);
}

TEST(HostSession, CallAfterTheHostWasKilledRaisesWithinASecond) {
    expectCallsFailAfterHostEnds(HostEnd::IsKilled);
}

TEST(HostSession, WithoutAnInterfaceEveryCallDoesNothing) {
    HostSession session;
    EXPECT_FALSE(session.callsReachHost());
    EXPECT_NO_THROW(session.runMacro("<SAVEQSO>"));
    EXPECT_NO_THROW(session.setQsoField(0, "DL1ABC"));
    EXPECT_NO_THROW(session.setFrequency(14070000.0));
    EXPECT_NO_THROW(session.setMode("BPSK31"));
}

TEST(HostSession, AttachFailsCleanlyWhenTheProgIdIsUnknown) {
    HostSession session(L"Kebrin2.NoSuchApplication");
    EXPECT_FALSE(session.attach());
    EXPECT_FALSE(session.callsReachHost());
    EXPECT_TRUE(comIsUninitialised()) << "CoInitialize/CoUninitialize must balance";
}

// Finish ends the session whether or not the poll cycle attached the host: without an attach,
// COM was never begun by the session, and what others began on the thread stays.
TEST(HostSession, EndWithoutAnAttachLeavesComAlone) {
    ASSERT_EQ(::CoInitialize(nullptr), S_OK);
    HostSession never;
    never.end();
    HostSession failed(L"Kebrin2.NoSuchApplication");
    EXPECT_FALSE(failed.attach());
    failed.end();
    const HRESULT again = ::CoInitialize(nullptr);
    EXPECT_EQ(again, S_FALSE) << "COM must still be initialised on this thread";
    if (SUCCEEDED(again)) {
        ::CoUninitialize();
    }
    ::CoUninitialize();
    EXPECT_TRUE(comIsUninitialised());
}

TEST(HostSession, EndReleasesTheHostAndEndsComOnce) {
    SimProcess sim;
    ASSERT_TRUE(sim.Ready()) << sim.Problem();
    HostSession session;
    ASSERT_TRUE(session.attach());
    EXPECT_TRUE(session.attach()) << "attached stays attached";
    session.runMacro("<SAVEQSO>");
    session.end();
    EXPECT_FALSE(session.callsReachHost());
    EXPECT_TRUE(comIsUninitialised()) << "one CoUninitialize for the one CoInitialize";
    session.end();
    EXPECT_TRUE(comIsUninitialised());
    EXPECT_NO_THROW(session.runMacro("<CURSOR:TX>")) << "calls after the end do nothing";
    EXPECT_EQ(sim.JournalLines(),
              std::vector<std::string>{R"({"seq":1,"call":"RunMacro","args":["<SAVEQSO>"]})"});
}

// Closing the window with the caption's × or Esc destroys the session without a Finish.
TEST(HostSession, DestroyingAnAttachedSessionEndsIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.Ready()) << sim.Problem();
    {
        HostSession session;
        ASSERT_TRUE(session.attach());
    }
    EXPECT_TRUE(comIsUninitialised()) << "the interface released and COM ended";
}

TEST(HostSession, AttachFailsCleanlyWhenTheHostIsNotRunning) {
    HostSession host;
    ASSERT_EQ(SimProcess::RunToCompletion({L"--register"}), 0u);
    for (int attempt = 0; attempt < 3; ++attempt) {  // repeated, as the poll cycle does
        const auto start = Clock::now();
        EXPECT_FALSE(host.attach());
        RecordProperty("failed_attach_ms", std::to_string(millisecondsSince(start)));
        EXPECT_FALSE(host.callsReachHost());
        EXPECT_TRUE(comIsUninitialised()) << "CoInitialize/CoUninitialize must balance";
    }
}

TEST(HostSession, AttachFindsTheHostStartedLater) {
    HostSession host;
    ASSERT_EQ(SimProcess::RunToCompletion({L"--register"}), 0u);
    EXPECT_FALSE(host.attach());
    SimProcess sim;
    ASSERT_TRUE(sim.Ready()) << sim.Problem();
    ASSERT_TRUE(host.attach());
    SessionEnd ending(host);
    host.runMacro("<CURSOR:TX>");
    EXPECT_EQ(sim.JournalLines(),
              std::vector<std::string>{R"({"seq":1,"call":"RunMacro","args":["<CURSOR:TX>"]})"});
}

TEST(HostSession, RefusedCallRaisesTheErrorWithTheHostsText) {
    HostSession host;
    SimProcess sim({L"--fail-calls"});
    ASSERT_TRUE(sim.Ready()) << sim.Problem();
    ASSERT_TRUE(host.attach());
    SessionEnd ending(host);
    try {
        host.runMacro("<SAVEQSO>");
        ADD_FAILURE() << "a refused call must raise";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.description(), L"kebrin-sim: calls disabled");
        EXPECT_EQ(error.source(), L"Kebrin2.Application");
        EXPECT_TRUE(FAILED(error.hresult()));
        EXPECT_NE(std::string(error.what()).find("kebrin-sim: calls disabled"), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(host.callsReachHost()) << "a refused call ends the session";

    // Attached again once the host takes calls again.
    ASSERT_TRUE(sim.Command(kCommandFailCallsOff));
    ASSERT_TRUE(host.attach());
    EXPECT_NO_THROW(host.setMode("BPSK31"));
    ASSERT_TRUE(sim.Command(kCommandFailCallsOn));
    EXPECT_THROW(host.setFrequency(3.5), AutomationError);
    EXPECT_EQ(sim.JournalLines(),
              std::vector<std::string>{R"({"seq":1,"call":"Mode","args":["BPSK31"]})"});
}

}  // namespace
