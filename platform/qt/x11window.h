// What our windows ask of an X display directly, past the toolkit.
#pragma once

#include <QWidget>

namespace zarn::qt {

// Gives a native window on the screen's default visual the screen's default colormap; nothing
// elsewhere than on X.
void usedefaultcolormap(WId id);

// Gives the keys to a native window that is on show, at the display's own time; nothing
// elsewhere than on X.
void focusnow(WId id);

}  // namespace zarn::qt
