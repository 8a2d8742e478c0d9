#include "gpsinput/modem.h"

#include "app/app.h"

namespace zarn {

void commsend(App& app, std::string_view text) { app.sys.serial->output(text); }

}  // namespace zarn
