// Starting the program opens the smiley window; closing it ends the program.
#include <windows.h>
#include <commctrl.h>

#include "app/application_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);

    app::Application application;
    return application.Run(showCommand);
}
