#include "win/system_dll.h"

#include <commctrl.h>

namespace win {

bool LoadCommonControls() {
    const auto init =
        SystemFunction<decltype(&InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    return init != nullptr && init(&icc) != FALSE;
}

}  // namespace win
