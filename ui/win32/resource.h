#pragma once

// Names the window's icon among the program's resources.
#define IDI_MARIGOLD 1
