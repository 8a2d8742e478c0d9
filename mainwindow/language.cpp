#include "mainwindow/language.h"

#include "app/app.h"

namespace zarn {

void nextlanguage(App& app) {
  // TODO: the next entry of LANGUAGE.CFG after langindex (wrapping to 0): langprefix, syntaxmode
  // from the language's word-order file, and the flag icon.
  (void)app;
}

void readcontrolcfg(App& app) {
  // TODO: the ten page icons (command, run flag, picture) of the language's icon-panel file.
  (void)app;
}

void readcontrol(App& app, int entry, std::string& key, std::string& icon, std::string& wav, std::string& text) {
  // TODO: entry `entry` of the icon-panel file (-1: read it through).
  (void)app, (void)entry, (void)key, (void)icon, (void)wav, (void)text;
}

}  // namespace zarn
