#include "mainwindow/cform.h"

#include "app/app.h"

namespace zarn {

void showcform(Windows& win) { win.get<CForm>().show(); }

}  // namespace zarn
