// The help overlay on the main window, and the greeting after a change of language.
#pragma once

namespace zarn {
struct App;

// Opens (or rebuilds) the help overlay.
void showhelp(App& app);
// Greets in the language now chosen.
void hello(App& app);
// Gives the help controls their handlers: the help button and the key-help label open the
// overlay, the hide-help button closes it.
void wirehelp(App& app);

}  // namespace zarn
