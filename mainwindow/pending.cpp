// Temporary: stand-ins until the branches that build these land.
#include "app/app.h"
#include "mainwindow/exitseq.h"
#include "mainwindow/smallservices.h"
namespace zarn {
void exitprog(App& app) { endprogram(app); }
}  // namespace zarn
