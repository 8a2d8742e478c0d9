#include "mainwindow/cform.h"

#include "app/app.h"

namespace zarn {

void showcform(App& app) { app.win.get<CForm>().show(); }

}  // namespace zarn
