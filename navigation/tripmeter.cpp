#include "navigation/tripmeter.h"

#include "app/app.h"

namespace zarn {

void tripmeter(App& app) { (void)app; }
void resettrip(App& app) { (void)app; }

}  // namespace zarn
