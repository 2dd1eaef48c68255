// The Win32 window's resource ids, shared by the program's resource script and the window.

#pragma once

// Names the window's icon among the program's resources.
#define IDI_MARIGOLD 1
