// Handing a link to the desktop shell.
#pragma once
#include <string>

namespace links {

// Asks the shell to "open" `target` (a mailto: or web address) with a maximised
// window. Whether a program was found for it is not reported to the caller.
void OpenLink(const std::wstring& target);

}  // namespace links
