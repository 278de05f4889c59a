// Resource ids, shared by pallimo.rc and the code.
#pragma once

// The lowest icon id is the one the shell shows for the executable.
#define IDI_PALLIMO 1
