#pragma once

#include <string>

#include "ui/control/event.h"

namespace ui {

class Control;

// The handler behind a skin's Event and BubbledEvent elements: applies
// |attribute_list| to the receiver named |receiver|. A receiver name that
// starts with "./" or ".\" names a control inside |owner| (case ignored);
// any other name is looked up in the window's name index. Always true.
// The handler is bound weakly to |owner|.
EventHandler MakeSkinEventHandler(Control* owner,
                                  const std::wstring& receiver,
                                  const std::wstring& attribute_list);

// The receiver a skin handler of |owner| means by |receiver|, or null.
Control* FindSkinEventReceiver(Control* owner, const std::wstring& receiver);

}  // namespace ui
