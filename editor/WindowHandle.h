// A window of the system's user interface (HWND on Windows); null is none.
// Platform-neutral code only passes it along.
#pragma once

using WindowHandle = void*;
