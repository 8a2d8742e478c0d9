#include "geodesy/helpers.h"

#include <algorithm>

#include "geodesy/geostate.h"
#include "platform/datetime.h"
#include "platform/files.h"
#include "platform/textrules.h"

namespace zarn {

std::string nextfield(std::string_view sentence, long& pos) {
  if (pos < 1) pos = 1;
  const long a = text::instr(pos, sentence, "*");
  const long c = text::instr(pos, sentence, ",");
  long s = c;
  if (a > 0) s = c > 0 ? std::min(a, c) : a;
  std::string field;
  if (s > pos) field = text::mid(sentence, pos, s - pos);
  pos = s + 1;
  return field;
}

int fileexists(const platform::Files& files, std::string_view name) {
  return files.exists(name) ? 1 : 0;
}

std::optional<std::string> readfirstline(const platform::Files& files, std::string_view name) {
  auto f = platform::InputFile::open(files, name);
  if (!f || f->eof()) return std::nullopt;
  return f->lineinput();
}

std::optional<float> readfirstnum(const platform::Files& files, std::string_view name) {
  auto f = platform::InputFile::open(files, name);
  if (!f || f->eof()) return std::nullopt;
  return static_cast<float>(f->number());
}

std::optional<std::string> loadccc(GeoState& g, const platform::Files& files) {
  g.ccccount = 0;
  auto f = platform::InputFile::open(files, "MAPS.CCC");
  if (!f) return "MAPS.CCC not found: grid references cannot be read";
  const int count = text::int16(f->number());
  if (count < 1) return std::nullopt;
  int n = std::min(count, GeoState::cccmax);
  for (int i = 1; i <= n; ++i) {
    if (f->eof())
      return "MAPS.CCC holds only" + text::str(g.ccccount) + " of" + text::str(count) + " grid squares";
    g.ccccode[i] = f->field();
    g.cccx[i] = static_cast<float>(f->number()) * 100;
    g.cccy[i] = static_cast<float>(f->number()) * 100;
    g.ccccount = i;
  }
  if (count > GeoState::cccmax)
    return "MAPS.CCC has" + text::str(count) + " grid squares: only the first" +
           text::str(GeoState::cccmax) + " are used";
  return std::nullopt;
}


float daynumber(std::string_view ddmmyy) {
  const long dd = static_cast<long>(text::val(text::mid(ddmmyy, 1, 2)));
  long mm = static_cast<long>(text::val(text::mid(ddmmyy, 3, 2)));
  long y = static_cast<long>(text::val(text::mid(ddmmyy, 5, 2))) + 1900;
  if (y < 1970) y += 100;
  // A month outside 1..12 cannot be placed in the calendar; keep it inside so that the count
  // stays ordered by year.
  mm = std::clamp(mm, 1L, 12L);
  return static_cast<float>(platform::daysfromcivil(static_cast<int>(y), static_cast<int>(mm), 1) + dd - 1);
}

float elapsed(float now, float t0) {
  float d = now - t0;
  if (d < 0) d += 86400;  // midnight has passed
  if (d < 0.001f) return 0.001f;
  return d;
}

void propercase(std::string& t) {
  t = text::lcase(t);
  if (t.empty()) return;
  t.replace(0, 1, text::ucase(t.substr(0, 1)));
  for (std::size_t i = 2; i < t.size(); ++i)
    if (t[i - 1] == ' ' || t[i - 1] == '-') t.replace(i, 1, text::ucase(t.substr(i, 1)));
}

bool flipchars(std::string& t) {
  for (unsigned char c : t)
    if (c > 250) return false;
  for (char& c : t) c = static_cast<char>(250 - static_cast<unsigned char>(c));
  return true;
}

}  // namespace zarn
