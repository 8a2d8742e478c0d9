// Temporary: stand-ins until the branches that build these land.
#include "app/app.h"
#include "mainwindow/askdialog.h"
#include "mainwindow/exitseq.h"
#include "mainwindow/placekeys.h"
#include "mainwindow/posreadouts.h"
#include "mainwindow/smallservices.h"
namespace zarn {
void exitprog(App& app) { endprogram(app); }
void askopen(App&) {}
void askanswer(App&, bool) {}
bool asknonanswer(App&) { return false; }
void sayownlatlong(App&) {}
void sayowngrid(App&) {}
void saywherekey(App&) {}
void lockey(App&, int) {}
void findnearestkey(App&, const std::string&) {}
void morekey(App&) {}
}  // namespace zarn
