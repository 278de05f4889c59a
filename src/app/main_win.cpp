// Starting the program opens the smiley window; closing it ends the program.
#include <windows.h>

#include "app/application_win.h"
#include "app/single_instance_win.h"
#include "app/smiley_window_ids.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    // One Pallimo per session: a second start brings the first one forward
    // (waiting a few seconds for it while it starts) and ends; one that finds
    // the first ending takes its place.
    app::SingleInstance instance;
    bool cameForward = false;
    if (!app::ClaimOrForward(instance, smiley_window_ids::kClass, 8000, cameForward))
        return cameForward ? 0 : 1;
    app::Application application;
    return application.Run(showCommand);
}
