// Start-up's wiring of the hooks through which lower subsystems reach higher ones.
#pragma once

namespace zarn {
struct App;

// Wires every hook of app.hooks; the application object does it as it is made.
void wirehooks(App& app);

}  // namespace zarn
