// What "Finish" needs of the host session: whether the poll cycle attached the host, and the
// release of the host's automation interface (hostDriver).
#pragma once

bool HostWasAttached();
void ReleaseHostDriver();
