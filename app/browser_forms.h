#pragma once

// The base of the login and game windows: a non-layered window with its
// shadow glued beneath it.
#include "browser/shadow/shadow_wnd_base.h"

using BrowserFormBase = kel_comp::ShadowWndBase;
