// TEMPORARY: services of other subsystems not yet declared by their owners.
#pragma once
#include <string>
#include <string_view>
#include "platform/ui.h"
namespace zarn {
struct App;
void setfillcol(App& app, ui::Colour colour);
int countcommas(std::string_view s);
void cmessage(App& app, const std::string& key, std::string& a, std::string& b, std::string& c);
void printline(App& app, const std::string& line);
void resettrip(App& app);
void gridref6(const std::string& grid, std::string& six);
void dfinput(App& app, std::string& line);
void dfinput2(App& app, std::string& line);
void dfbearing(App& app, float bearing, int kind);
void drawdfsector(App& app);
}  // namespace zarn
