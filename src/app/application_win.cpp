#include "app/application_win.h"

#include "win/pump.h"

namespace app {

Application::Application()
    : customCodes_(messenger_, {[this] { smiley_.ShowAgain(); }, [this] { instructions_.Open(); },
                                [this] { about_.Open(); }}),
      smiley_(messenger_, {[this] { return customCodes_.Open(); }, [this] { Quit(); }}) {}

Application::~Application() { DestroyWindows(); }

int Application::Run(int showCommand) {
    if (!smiley_.Open(showCommand)) return 1;
    return win::RunMessageLoop();
}

void Application::Quit() {
    if (quitting_) return;
    quitting_ = true;
    messenger_.Stop();
    DestroyWindows();
    PostQuitMessage(0);
}

void Application::DestroyWindows() {
    for (win::LayoutWindow* window : allWindows_) window->Destroy();
}

}  // namespace app
