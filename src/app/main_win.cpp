// Starting the program opens the smiley window; closing it ends the program.
#include <windows.h>

#include "app/application_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    app::Application application;
    return application.Run(showCommand);
}
