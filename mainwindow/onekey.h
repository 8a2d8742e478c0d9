// Single-key commands: a key, upper-cased, as a one-character string.
#pragma once

#include <string>

namespace zarn {
struct App;

// Carries out the command of one key.
void onekeycmd(App& app, const std::string& key);

}  // namespace zarn
