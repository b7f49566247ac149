// The poll cycle with the real fldigi port (XmlRpcClient over sockets) against the fldigi
// stand-in on a port of these tests' own (ctest runs them one at a time), so that they never
// wait for the tests that need fldigi's fixed port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/poll/poll_cycle.h"
#include "app/poll/xmlrpc_fldigi_port.h"
#include "poll_fixture.h"
#include "xmlrpc/client/client.h"
#include "xmlrpc/core/value.h"

extern char** environ;

namespace pollcycle::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kSimPort = VARNOCK_SIM_PORT;
constexpr const char* kSimEndpoint = "http://127.0.0.1:" VARNOCK_SIM_PORT "/RPC2";

// The stand-in as a child process in its own temporary directory; stopped by PID.
class FldigiSim {
  public:
    FldigiSim() {
        char pattern[] = "/tmp/poll-fldigi-sim.XXXXXX";
        dir_ = mkdtemp(pattern);
        configDir_ = dir_ + "/cfg/";
        const std::string ready = dir_ + "/ready";
        std::vector<std::string> args = {
            VARNOCK_PYTHON, VARNOCK_FLDIGI_SIM, "--port",       kSimPort,
            "--config-dir", configDir_,         "--ready-file", ready};
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = 0;
            return;
        }
        for (int i = 0; i < 500 && access(ready.c_str(), F_OK) != 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ready_ = access(ready.c_str(), F_OK) == 0;
    }
    ~FldigiSim() {
        stop();
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }
    bool ready() const { return ready_; }
    const std::string& configDir() const { return configDir_; }

  private:
    std::string dir_;
    std::string configDir_;
    pid_t pid_ = 0;
    bool ready_ = false;
};

// Plays the operator: one setter call on fldigi.
void operatorSets(const char* method, const std::string& text) {
    XmlRpcClient client(kSimEndpoint);
    XmlRpcValue param;
    param.setString(text);
    XmlRpcValue result;
    ASSERT_TRUE(client.call(method, param, result)) << method << ": " << client.errorText();
}

std::string fldigiString(const char* method) {
    XmlRpcClient client(kSimEndpoint);
    XmlRpcValue none;
    XmlRpcValue result;
    return client.call(method, none, result) && result.kind() == ValueKind::String
               ? result.textValue()
               : "<failed>";
}

// The real fldigi port on the stand-in's endpoint; the fixture hands every port its journal.
struct RealFldigiPort : XmlRpcFldigiPort {
    explicit RealFldigiPort(Journal&) : XmlRpcFldigiPort(kSimEndpoint) {}
};

using FldigiSimSessionTest = PollCycleFixture<RealFldigiPort>;

TEST_F(FldigiSimSessionTest, ConnectsCopiesFieldsAndClearsAfterACommit) {
    FldigiSim sim;
    ASSERT_TRUE(sim.ready());

    tick();
    ASSERT_TRUE(state.fldigiConnected);
    std::string expectedPath = sim.configDir();
    std::replace(expectedPath.begin(), expectedPath.end(), '/', '\\');
    EXPECT_EQ(state.markerPath, expectedPath + "\\temp\\log.adif");
    // fldigi's fresh values.
    EXPECT_THAT(journal.with("host "),
                ElementsAre("attach", "SetQsoField 2 599", "SetQsoField 5 599", "SetMode BPSK31",
                            "SetFrequency 14071500.0"));

    operatorSets("log.set_call", "dl1abc");
    operatorSets("log.set_name", "M\xc3\xbcller <&>");
    operatorSets("modem.set_by_name", "PSK500R");
    markers.files[state.markerPath] = "<CALL:6>DL1ABC<NAME:11>M\xc3\xbcller <&><EOR>\n";
    tick();
    EXPECT_THAT(journal.with("host "),
                ElementsAre("SetQsoField 0 DL1ABC", "SetQsoField 1 M\xc3\xbcller <&>",
                            "RunMacro <MODEADD:PSKR>", "RunMacro <FIXSTARTTIME>",
                            "RunMacro <SAVEQSO>", "RunMacro <CURSOR:TX>"));
    EXPECT_EQ(fldigiString("log.get_call"), "");  // log.clear reached fldigi
    EXPECT_EQ(journal.events.back(), "view setTimer 1500 1000");

    tick();
    EXPECT_THAT(journal.with("host "), ElementsAre("SetQsoField 0 ", "SetQsoField 1 "));
}

TEST_F(FldigiSimSessionTest, FldigiGoneAfterContactAsksAndKeepsTheHostsFields) {
    FldigiSim sim;
    ASSERT_TRUE(sim.ready());
    operatorSets("log.set_call", "DL1ABC");
    tick();
    sim.stop();

    tick();
    EXPECT_EQ(journal.with("view box FLDIGI not loaded!").size(), 11u);
    EXPECT_THAT(journal.with("host "), IsEmpty());
    EXPECT_EQ(state.lastSent.callsign, "DL1ABC");
}

TEST_F(FldigiSimSessionTest, NoFldigiAtFirstContactIsQuiet) {
    tick();
    EXPECT_FALSE(state.fldigiConnected);
    EXPECT_THAT(journal.with("view box"), IsEmpty());
    EXPECT_EQ(journal.events.back(), "view setTimer 1500 1000");
}

}  // namespace
}  // namespace pollcycle::testing
