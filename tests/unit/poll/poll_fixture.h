// A poll cycle wired to recording fakes; the fldigi port is the fixture's parameter (the fake
// here, the real XML-RPC port in the tests against the fldigi stand-in).
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/poll/poll_cycle.h"
#include "poll_fakes.h"

namespace pollcycle::testing {

template <class FldigiPortType>
class PollCycleFixture : public ::testing::Test {
  protected:
    Journal journal;
    PollState state;
    FldigiPortType fldigi{journal};
    FakeHost host{journal};
    FakeMarkerFiles markers{journal};
    FakeView view{journal};
    RecordedEvents events;
    PollCycle cycle{state, {fldigi, host, markers, view, events}};

    // Runs one tick with a fresh journal.
    void tick() {
        journal.events.clear();
        cycle.OnTimer();
    }

    // Both sides reached before, nothing sent yet: the state after a first connected tick
    // where fldigi had only empty fields.
    void connectBoth(const std::string& markerPath = "C:\\fl\\temp\\log.adif") {
        state.hostAttached = true;
        state.fldigiConnected = true;
        state.markerPath = markerPath;
    }

    std::vector<std::string> hostCalls() const { return journal.with("host "); }

    bool timerRearmed() const {
        return !journal.events.empty() && journal.events.back() == "view setTimer 1500 1000";
    }
};

using PollCycleTest = PollCycleFixture<FakeFldigi>;

}  // namespace pollcycle::testing
