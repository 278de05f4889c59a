// Functions of the system DLLs the program needs only later (the notification
// area, links) or only once its window stands (the common controls), loaded
// when first called rather than at start-up: under Wine, loading shell32 and
// ole32 takes longer than building the whole smiley window, and the common
// controls longer still.
#pragma once
#include <windows.h>

namespace win {

// `name` from the system DLL `dll` (by name, so that the manifest's common
// controls 6 is the one loaded), loading it unless `loadedOnly`; null if there
// is no such function.
template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name, bool loadedOnly = false) {
    HMODULE module = loadedOnly ? GetModuleHandleW(dll) : LoadLibraryW(dll);
    FARPROC f = module != nullptr ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(f));
}

// Lets `message` (a registered one: the taskbar's restart, a later start's
// request) reach `window` from programs with lower rights than this one
// (Vista and later filter it out otherwise). Nothing on Windows XP, which has
// no such filter.
void AllowLowerRightsMessage(HWND window, UINT message);

// Loads the common controls and registers their classes (tooltips, the
// version 6 buttons); true once they are there.
bool LoadCommonControls();

}  // namespace win
