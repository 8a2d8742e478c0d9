// TEMPORARY stand-ins until their owners build them.
#include "gpsinput/pending.h"
#include <algorithm>
namespace zarn {
void setfillcol(App&, ui::Colour) {}
int countcommas(std::string_view s) { return static_cast<int>(std::count(s.begin(), s.end(), ',')); }
void cmessage(App&, const std::string& key, std::string& a, std::string& b, std::string& c) { a = key; b = "NULL"; c = "NULL"; }
void printline(App&, const std::string&) {}
void resettrip(App&) {}
void gridref6(const std::string& grid, std::string& six) { six = grid; }
void dfinput(App&, std::string&) {}
void dfinput2(App&, std::string&) {}
void dfbearing(App&, float, int) {}
void drawdfsector(App&) {}
}  // namespace zarn
