// Layouts the records promise: callers fill length fields with these sizes and
// pack pointers and handles into message parameters.
#include "platform/win/Constants.h"

#include <cstddef>

static_assert(sizeof(POINT) == 8 && sizeof(RECT) == 16 && sizeof(SIZE) == 8);
static_assert(sizeof(WINDOWPLACEMENT) == 44);
static_assert(sizeof(LOGFONTW) == 92 && sizeof(NONCLIENTMETRICSW) == 504);
static_assert(offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth) == 500);
static_assert(offsetof(WINDOWPLACEMENT, rcNormalPosition) == 28);
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) &&
              sizeof(LRESULT) == sizeof(void*));
static_assert(sizeof(HWND) == sizeof(uint64_t), "handles carry a 32-bit index and a generation");
static_assert(sizeof(WCHAR) == 2);
