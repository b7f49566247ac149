// What "Finish" asks of the host session: the poll cycle's attach flag and the release of
// hostDriver's interface.
#include "app/host_driver.h"
#include "app/host_session.h"
#include "app/poll/poll_state.h"

bool HostWasAttached() {
    return pollcycle::processPollState().hostAttached;
}

void ReleaseHostDriver() {
    hostDriver.ReleaseDispatch();
}
