#include "app/application_win.h"

#include <utility>

#include "win/pump.h"

namespace app {

Application::Application()
    : customCodes_(messenger_, {[this] { smiley_.ShowAgain(); }, [this] { instructions_.Open(); },
                                [this] { about_.Open(); }}),
      smiley_(messenger_,
              {[this] { return customCodes_.Open(); }, [this] { Quit(); },
               [this] { SaveSettings(); }, [this] { hotkeyWindow_.OpenOver(smiley_.hwnd()); }}),
      hotkeyWindow_({[this] { return smiley_.hotkey(); }, [this] { return smiley_.hotkeyActive(); },
                     [this](hotkey::Combination c) { return smiley_.SetHotkey(c); },
                     [this] { smiley_.PauseHotkey(); }, [this] { smiley_.ResumeHotkey(); }}) {}

Application::~Application() { DestroyWindows(); }

int Application::Run(int showCommand) {
    bool mayReplace = true;
    const settings::Settings remembered = settings::LoadSettings(settingsPath_, mayReplace);
    keepSettingsFile_ = !mayReplace;
    savedSettings_ = settings::FormatSettings(remembered);
    if (!smiley_.Open(showCommand, remembered)) return 1;
    return win::RunMessageLoop();
}

void Application::Quit() {
    if (quitting_) return;
    quitting_ = true;
    messenger_.Stop();
    // The window's place is read while it still stands.
    SaveSettings(true);
    DestroyWindows();
    settingsWriter_.Finish();
    PostQuitMessage(0);
}

// Only what changed is written, and never over a file this run could not read.
void Application::SaveSettings(bool always) {
    if (keepSettingsFile_ || !smiley_.exists()) return;
    std::string bytes = settings::FormatSettings(smiley_.Remembered());
    if (bytes == savedSettings_ && !always) return;
    savedSettings_ = bytes;
    settingsWriter_.Save(std::move(bytes));
}

void Application::DestroyWindows() {
    for (win::LayoutWindow* window : allWindows_) window->Destroy();
}

}  // namespace app
