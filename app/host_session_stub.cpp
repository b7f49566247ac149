// Stand-in until the poll cycle is wired into the dialog: the host is never attached, so
// "Finish" has nothing to release and COM is never initialised.
#include "app/host_session.h"

bool HostWasAttached() {
    return false;
}

void ReleaseHostDriver() {}
