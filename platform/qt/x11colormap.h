// How our windows are read back by screen captures on an X display.
#pragma once

#include <QWidget>

namespace zarn::qt {

// Gives a native window on the screen's default visual the screen's default colormap; nothing
// elsewhere than on X.
void usedefaultcolormap(WId id);

}  // namespace zarn::qt
