#pragma once

#include "runtime/include/cef_base.h"

// What is being dragged. The program never looks inside.
class CefDragData : public virtual CefBaseRefCounted {};
