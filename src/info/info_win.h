// The Instructions and About windows. Each exists at most once: showing it
// while it is open brings the open one forward; closing it destroys it, and
// the next show builds it afresh. Both are modeless and have no owner, so
// they outlive the window that asked for them.
#pragma once

namespace info {

void ShowInstructions();
void ShowAbout();

}  // namespace info
