// Starts the program: one window, run until it is closed or a fatal error ends it.
#include <windows.h>

#include "MainWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    quorrin::MainWindow window;
    return window.Run(instance, show);
}
