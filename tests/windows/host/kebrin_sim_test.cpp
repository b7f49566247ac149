// kebrin-sim's side of the contract: argument checks, property gets, the journal's number and
// string forms, and the ways to make it quit or fail.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/host_session.h"
#include "com_test_support.h"
#include "framework/automation_error.h"
#include "sim_commands.h"
#include "sim_process.h"

namespace {

// The HRESULT a call ends with (S_OK when it goes through).
template <class Call>
HRESULT outcome(Call&& call) {
    try {
        call();
        return S_OK;
    } catch (const AutomationError& error) {
        return error.hresult();
    }
}

class KebrinSim : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_sim.Ready()) << m_sim.Problem();
        ASSERT_TRUE(m_host.attach());
        ASSERT_TRUE(AttachToRunningHost(m_driver));
    }
    void TearDown() override {
        m_driver.ReleaseDispatch();
        m_host.end();
    }

    SimProcess m_sim;
    HostSession m_host;
    CDispatchDriver m_driver;
};

struct CallCase {
    const char* what;
    DISPID dispid;
    WORD flags;
    std::vector<CVariant> args;
    HRESULT expected;
};

TEST_F(KebrinSim, ChecksMembersArgumentCountsAndTypes) {
    const CallCase cases[] = {
        {"unknown member", 99, DISPATCH_METHOD, {CVariant(L"x")}, DISP_E_MEMBERNOTFOUND},
        {"RunMacro without argument", 16, DISPATCH_METHOD, {}, DISP_E_BADPARAMCOUNT},
        {"RunMacro with two",
         16,
         DISPATCH_METHOD,
         {CVariant(L"a"), CVariant(L"b")},
         DISP_E_BADPARAMCOUNT},
        {"RunMacro as property get", 16, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        {"SetQsoField with one", 18, DISPATCH_METHOD, {CVariant(1L)}, DISP_E_BADPARAMCOUNT},
        {"SetQsoField, index not a number",
         18,
         DISPATCH_METHOD,
         {CVariant(L"x"), CVariant(L"y")},
         DISP_E_TYPEMISMATCH},
        {"SetQsoField, index too big",
         18,
         DISPATCH_METHOD,
         {CVariant(1e20), CVariant(L"y")},
         DISP_E_OVERFLOW},
        {"Frequency called as a method",
         2,
         DISPATCH_METHOD,
         {CVariant(1.0)},
         DISP_E_MEMBERNOTFOUND},
        {"Frequency get with an argument",
         2,
         DISPATCH_PROPERTYGET,
         {CVariant(1.0)},
         DISP_E_BADPARAMCOUNT},
        // Coerced like any automation server does.
        {"SetQsoField, index as text", 18, DISPATCH_METHOD, {CVariant(L"5"), CVariant(L"y")}, S_OK},
        {"RunMacro with a number", 16, DISPATCH_METHOD, {CVariant(7L)}, S_OK},
    };
    for (const CallCase& c : cases) {
        EXPECT_EQ(outcome([&] { m_driver.InvokeHelper(c.dispid, c.flags, c.args); }), c.expected)
            << c.what;
    }
    EXPECT_EQ(outcome([&] { m_driver.SetProperty(kDispidFrequency, CVariant(L"fast")); }),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(outcome([&] { m_driver.SetProperty(kDispidRunMacro, CVariant(L"x")); }),
              DISP_E_MEMBERNOTFOUND);
    // Only the two accepted calls are journaled.
    EXPECT_EQ(m_sim.JournalLines(),
              (std::vector<std::string>{R"({"seq":1,"call":"SetQsoField","args":[5,"y"]})",
                                        R"({"seq":2,"call":"RunMacro","args":["7"]})"}));
}

TEST_F(KebrinSim, PropertiesReadBackWhatWasPut) {
    m_driver.SetProperty(kDispidFrequency, CVariant(7035500.25));
    m_driver.SetProperty(kDispidMode, CVariant(L"\u041C\u0424\u0421\u041A"));
    const CVariant frequency = m_driver.InvokeHelper(kDispidFrequency, DISPATCH_PROPERTYGET);
    ASSERT_EQ(frequency.Type(), VT_R8);
    EXPECT_EQ(frequency.Get().dblVal, 7035500.25);
    const CVariant mode = m_driver.InvokeHelper(kDispidMode, DISPATCH_PROPERTYGET);
    ASSERT_EQ(mode.Type(), VT_BSTR);
    EXPECT_EQ(std::wstring(mode.Get().bstrVal), L"\u041C\u0424\u0421\u041A");
    // Gets change nothing and are not journaled.
    EXPECT_EQ(m_sim.JournalLines().size(), 2u);
}

TEST_F(KebrinSim, JournalWritesNumbersAndTextsAsJson) {
    struct NumberRow {
        double value;
        const char* json;
    };
    const NumberRow numbers[] = {{14070000.0, "14070000.0"},
                                 {0.1, "0.1"},
                                 {-3.5, "-3.5"},
                                 {0.0, "0.0"},
                                 {1e21, "1.0e+21"},
                                 {1.5e-7, "1.5e-07"},
                                 {1.0 / 3.0, "0.3333333333333333"}};
    struct TextRow {
        std::wstring value;
        const char* json;
    };
    const TextRow texts[] = {
        {L"a\x01\r\n\t\x7F/b", R"("a\u0001\r\n\t\u007f/b")"},
        {std::wstring(L"a\0b", 3), R"("a\u0000b")"},
        {L"quote \" backslash \\", R"("quote \" backslash \\")"},
        {L"\xD800x", "\"\xEF\xBF\xBDx\""},  // an unpaired surrogate becomes U+FFFD
        {L"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},
    };
    std::vector<std::string> expected;
    for (const NumberRow& row : numbers) {
        m_driver.SetProperty(kDispidFrequency, CVariant(row.value));
        expected.push_back("{\"seq\":" + std::to_string(expected.size() + 1) +
                           ",\"call\":\"Frequency\",\"args\":[" + row.json + "]}");
    }
    for (const TextRow& row : texts) {
        m_driver.SetProperty(kDispidMode, CVariant(row.value));
        expected.push_back("{\"seq\":" + std::to_string(expected.size() + 1) +
                           ",\"call\":\"Mode\",\"args\":[" + row.json + "]}");
    }
    EXPECT_EQ(m_sim.JournalLines(), expected);
}

TEST(KebrinSimControl, QuitAfterNCallsAnswersThemThenLeavesTheTable) {
    SimProcess sim({L"--quit-after", L"2"});
    ASSERT_TRUE(sim.Ready()) << sim.Problem();
    HostSession host;
    ASSERT_TRUE(host.attach());
    {
        SessionEnd ending(host);
        host.setMode("CW");
        host.setMode("RTTY");
        ASSERT_TRUE(sim.WaitForExit(10000));
        EXPECT_THROW(host.setMode("PSK"), AutomationError);
    }
    EXPECT_EQ(sim.JournalLines().size(), 2u);
    HostSession again;
    EXPECT_FALSE(again.attach()) << "the object left the table";
}

TEST(KebrinSimControl, ControlFileSwitchesFailingAndQuits) {
    const std::wstring control = SimProcess::TempPath(L".control");
    auto write = [&](const char* command) {
        std::FILE* file = ::_wfopen(control.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        std::fputs(command, file);
        std::fclose(file);
    };
    write("ok\n");
    SimProcess sim({L"--control", control});
    ASSERT_TRUE(sim.Ready()) << sim.Problem();
    HostSession host;
    ASSERT_TRUE(host.attach());
    {
        SessionEnd ending(host);
        CDispatchDriver driver;
        ASSERT_TRUE(AttachToRunningHost(driver));
        EXPECT_NO_THROW(host.setMode("CW"));
        write("fail\n");
        // Polled ten times a second: wait (bounded) for the switch.
        bool failed = false;
        for (int i = 0; i < 100 && !failed; ++i, ::Sleep(20)) {
            failed =
                outcome([&] { driver.InvokeHelper(kDispidMode, DISPATCH_PROPERTYGET); }) != S_OK;
        }
        EXPECT_TRUE(failed) << "\"fail\" in the control file makes calls fail";
        write("quit\n");
        EXPECT_TRUE(sim.WaitForExit(5000)) << "\"quit\" in the control file ends it";
    }
    ::DeleteFileW(control.c_str());
}

TEST(KebrinSimControl, UsageErrorsExitWithCodeTwo) {
    const std::vector<std::vector<std::wstring>> cases = {{L"--bogus"},
                                                          {L"--journal"},
                                                          {L"--quit-after", L"0"},
                                                          {L"--quit-after", L"x"},
                                                          {L"--register", L"--unregister"}};
    for (const auto& args : cases) {
        EXPECT_EQ(SimProcess::RunToCompletion(args), 2u)
            << std::string(args[0].begin(), args[0].end());
    }
}

}  // namespace
