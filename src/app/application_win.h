// The program: its four windows and the delivery into the messenger, owned in
// one place and wired to each other here.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "app/hotkey_window_win.h"
#include "app/settings_win.h"
#include "app/smiley_window_win.h"
#include "custom/custom_codes_window_win.h"
#include "info/about_window_win.h"
#include "info/instructions_window_win.h"
#include "messenger/winsys_win.h"

namespace app {

class Application {
  public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    // The windows go before the delivery they use.
    ~Application();

    // Opens the smiley window with `showCommand` and handles events until the
    // smiley window closes; returns the program's exit code.
    int Run(int showCommand);

  private:
    // Closing the smiley window ends the program at once: delivery stops,
    // every window goes without its own closing steps (the smiley window's
    // icon with it), and the event loop ends.
    void Quit();
    void DestroyWindows();
    // Hands what the smiley window keeps to the settings file's writer: when
    // it changed, or `always` (at the end, in case an earlier write failed).
    void SaveSettings(bool always = false);

    // Written off the user interface's thread; goes after the windows.
    const std::wstring settingsPath_ = settings::SettingsPath();
    settings::SettingsWriter settingsWriter_{settingsPath_};
    delivery::Win32WindowSystem windowSystem_;
    delivery::MessengerDelivery messenger_{windowSystem_};
    info::InstructionsWindow instructions_;
    info::AboutWindow about_;
    custom::CustomCodesWindow customCodes_;
    SmileyWindow smiley_;
    HotkeyWindow hotkeyWindow_;
    // Every window, in the order they are taken down: the smiley window last.
    const std::array<win::LayoutWindow*, 5> allWindows_ = {&hotkeyWindow_, &customCodes_, &about_,
                                                           &instructions_, &smiley_};
    bool quitting_ = false;
    // The settings file was there but could not be read: this run leaves it.
    bool keepSettingsFile_ = false;
    std::string savedSettings_;  // the bytes handed to the writer last
};

}  // namespace app
