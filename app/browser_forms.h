#pragma once

// The base of the login and game windows and the toast they show. Until the
// shadow window and the toast are part of the tree, the two windows stand
// on the skinned window base and a page's message shows no toast.
#if __has_include("browser/shadow/shadow_wnd_base.h")
#include "browser/shadow/shadow_wnd_base.h"
using BrowserFormBase = kel_comp::ShadowWndBase;
#else
#include "ui/core/window_impl_base.h"
using BrowserFormBase = ui::WindowImplBase;
#endif

#if __has_include("browser/toast/toast.h")
#include "browser/toast/toast.h"
#define QEL_HAVE_TOAST 1
#else
#define QEL_HAVE_TOAST 0
#endif
