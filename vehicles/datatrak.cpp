#include "vehicles/datatrak.h"

#include "app/app.h"

namespace zarn {

void mvdecode(App& app, const std::string& line) { (void)app, (void)line; }  // TODO

void mvdecodebin(App& app, const std::string& line) { (void)app, (void)line; }  // TODO

}  // namespace zarn
