// Entry point of the QMZ4 program.
#include <windows.h>

#include "app/win/qmz4_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    qmz::CQMZ4App app;
    return app.Run(instance, commandLine);
}
