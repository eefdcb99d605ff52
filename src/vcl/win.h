// windows.h for the layer: without the min and max macros, which would
// break the standard headers included after it.
#pragma once
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef min
#undef max
