// Varnock.exe: the application object's life is the process's life. The command line is
// read first: help, a mistake in it, or a bridge already running for the same fldigi end the
// process before anything is started.
#include "app/bridge_run.h"
#include "app/varnock_app.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    BridgeRun run;
    if (const std::optional<int> exitCode = run.Start(::GetCommandLineW())) {
        return *exitCode;
    }
    CVarnockApp app(run);
    return app.Run();
}
