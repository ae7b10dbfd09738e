#pragma once

// The login and game windows stand on the browser controls and the shadow
// window; a tree without them builds the launcher alone.
#if __has_include("browser/control/cef_native_control.h") &&           \
                  __has_include("browser/window/shadow_wnd_base.h") && \
                                __has_include("browser/window/toast.h")
#define QEL_BROWSER_FORMS 1
#else
#define QEL_BROWSER_FORMS 0
#endif
