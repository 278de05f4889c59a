#include "info/links_win.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "win/system_dll.h"
#include "win/text.h"

namespace links {

void OpenLink(const std::wstring& target) {
    // Protocol handlers may be shell extensions that need COM on the calling
    // thread. It stays initialised for the thread's life: the shell may still
    // be working on the request after ShellExecute returns.
    static const HRESULT com = [] {
        const auto init =
            win::SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        return init != nullptr ? init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
                               : E_FAIL;
    }();
    (void)com;
    const auto open =
        win::SystemFunction<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    if (open == nullptr) return;
    const std::string file = win::ToAnsi(target);
    open(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace links
