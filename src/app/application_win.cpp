#include "app/application_win.h"

#include "win/pump.h"

namespace app {

Application::Application()
    : customCodes_(messenger_, {[this] { smiley_.ShowAgain(); }, [this] { instructions_.Open(); },
                                [this] { about_.Open(); }}),
      smiley_(messenger_,
              {[this] { return customCodes_.Open(); }, [this] { Quit(); },
               [this] { SaveSettings(); }, [this] { hotkeyWindow_.OpenOver(smiley_.hwnd()); }}),
      hotkeyWindow_({[this] { return smiley_.hotkey(); },
                     [this](hotkey::Combination c) { return smiley_.SetHotkey(c); }}) {}

Application::~Application() { DestroyWindows(); }

int Application::Run(int showCommand) {
    if (!smiley_.Open(showCommand, settings::LoadSettings(settings::SettingsPath()))) return 1;
    return win::RunMessageLoop();
}

void Application::Quit() {
    if (quitting_) return;
    quitting_ = true;
    messenger_.Stop();
    // The window's place is read while it still stands.
    SaveSettings();
    DestroyWindows();
    settingsWriter_.Finish();
    PostQuitMessage(0);
}

void Application::SaveSettings() {
    if (smiley_.exists()) settingsWriter_.Save(settings::FormatSettings(smiley_.Remembered()));
}

void Application::DestroyWindows() {
    for (win::LayoutWindow* window : allWindows_) window->Destroy();
}

}  // namespace app
