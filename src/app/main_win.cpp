// Starting the program loads the smiley window; closing it ends the program.
#include <windows.h>

#include "win/pump.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return win::RunMessageLoop();
}
