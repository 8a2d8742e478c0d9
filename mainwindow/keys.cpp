#include "mainwindow/keys.h"

#include "app/app.h"

namespace zarn {

void keycmd(App& app, int& key) {
  // TODO: single-key commands (onekeycmd) and typing into the search box while typingmode is 1.
  (void)app;
  (void)key;
}

void runtypedcmd(App& app) {
  // TODO: with speech forced on, run the typed text through the search box (findplace), hide
  // the entry boxes and leave typed entry.
  (void)app;
}

void starttext(App& app) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  m.prevmode = m.refname;
  m.typingmode = 1;
  m.refname = "TEXT";
  z.search.text.clear();
  z.searchdat.text.clear();
  z.search.visible = true;
  z.searchdat.visible = true;
  m.searchtime = app.timer();
}

void prevlist(App& app) { (void)app; }
void nextlist(App& app) { (void)app; }

}  // namespace zarn
