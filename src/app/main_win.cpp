// Starting the program loads the smiley window; closing it ends the program.
#include <windows.h>
#include <commctrl.h>

#include "app/frmMain_win.h"
#include "win/pump.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);

    app::frmMain smileys;
    if (!smileys.Load(showCommand)) return 1;
    return win::RunMessageLoop();
}
