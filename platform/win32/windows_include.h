// The one way platform/win32 sources include <windows.h>. Some Windows macros share their
// names with methods of the platform interfaces (MessageBox, SetCurrentDirectory,
// OpenService); they are removed here so the interfaces keep their names. The win32
// code calls the explicit ...A functions instead.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef MessageBox
#undef SetCurrentDirectory
#undef OpenService
#undef GetCurrentDirectory
