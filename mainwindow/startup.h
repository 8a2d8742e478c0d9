// The start of the program: the main window's load handler.
#pragma once

#include <optional>
#include <string>

namespace zarn {
struct App;
namespace platform {
class Files;
}

// Runs once when the main window is created: shows the start window, reads the presence flags
// and the configuration and data files, builds the map catalogue and the destination table,
// opens the serial port, reads the multi-vehicle configuration, greets the user, enters the
// demo state, shows the main window and enables the main timer (main.timer1). cmdline is the
// command line (a replay file). When the program must end instead (the one-shot fix mode, a
// fatal start-up error) main.quit is set.
void Form_Load(App& app, const std::string& cmdline);
// Why the folder cannot be started in, or nothing: a folder holding neither a MAPS.DIR nor any
// map description (.DES) is not a map folder, and starting there would only fill it with the
// program's own files.
std::optional<std::string> nomapfolder(const platform::Files& files);

}  // namespace zarn
