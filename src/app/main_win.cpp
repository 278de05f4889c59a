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
    switch (app::ClaimOrForward(instance, smiley_window_ids::kClass, 8000)) {
        case app::Start::kCameForward:
            return 0;
        case app::Start::kNoAnswer:
            return 1;
        case app::Start::kRun:
            break;
    }
    app::Application application;
    return application.Run(showCommand);
}
