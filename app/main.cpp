// Varnock.exe: the application object's life is the process's life.
#include "app/varnock_app.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CVarnockApp app;
    return app.Run();
}
