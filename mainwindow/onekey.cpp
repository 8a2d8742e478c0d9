#include "mainwindow/onekey.h"

#include "app/app.h"
#include "mainwindow/keys.h"
#include "mainwindow/smallservices.h"

namespace zarn {

// The search box's keys and the end of the program; the other single-key commands join this
// table as they are built.
void onekeycmd(App& app, const std::string& key) {
  if (key.size() != 1) return;
  switch (key[0]) {
    case 13: runtypedcmd(app); break;
    case '+': nextlist(app); break;
    case '-': prevlist(app); break;
    case 27: endprogram(app); break;
    default: break;
  }
}

}  // namespace zarn
