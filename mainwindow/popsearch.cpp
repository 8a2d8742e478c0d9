#include "mainwindow/popsearch.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <tuple>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr std::size_t header = 4;          // the two counts
constexpr std::size_t lettertable = 2704;  // 676 first-centre numbers, by the names' first two letters
constexpr std::size_t areafield = 32;

// $LPOP.PCD as read for one search; every offset taken from it is checked against its size.
struct PcdFile {
  std::string d;
  std::size_t n = 0;     // centres
  std::size_t text = 0;  // where the name records begin

  std::uint32_t u32(std::size_t at) const {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<unsigned char>(d[at + static_cast<std::size_t>(b)]);
    return v;
  }
  // Where the record of centre i (1-based) begins, when that lies inside the file.
  std::optional<std::size_t> record(std::size_t i) const {
    if (i < 1 || i > n) return std::nullopt;
    const std::size_t at = text + u32(header + 4 * n + 4 * (i - 1));
    if (at >= d.size()) return std::nullopt;
    return at;
  }
};

std::optional<PcdFile> openpcd(const platform::Files& files) {
  auto data = files.read("$LPOP.PCD", platform::Files::datalimit);
  if (!data || data->size() < header) return std::nullopt;
  PcdFile f;
  f.d = std::move(*data);
  const auto count = [&f](std::size_t at) {
    const auto lo = static_cast<unsigned char>(f.d[at]), hi = static_cast<unsigned char>(f.d[at + 1]);
    return static_cast<std::int16_t>(lo | (hi << 8));
  };
  const int n = count(0), c = count(2);
  if (n < 0 || c < 0) return std::nullopt;
  f.n = static_cast<std::size_t>(n);
  f.text = header + 8 * f.n + lettertable + areafield * static_cast<std::size_t>(c);
  if (f.text > f.d.size()) return std::nullopt;
  return f;
}

struct Record {
  std::string name;  // decoded, as stored (upper case)
  int area = 0;
};

// Reads the record at pos (name, comma, area number, line end) and moves pos past it.
Record readrecord(const std::string& d, std::size_t& pos) {
  Record r;
  std::size_t end = std::min(d.find_first_of(std::string_view(",\r\n"), pos), d.size());
  r.name = d.substr(pos, end - pos);
  (void)flipchars(r.name);  // a byte no name can hold leaves the name as stored, matching nothing
  if (end < d.size() && d[end] == ',') {
    for (++end; end < d.size() && text::isdigit(d[end]); ++end)
      if (r.area < 100000) r.area = r.area * 10 + (d[end] - '0');
    end = std::min(d.find_first_of(std::string_view("\r\n"), end), d.size());
  }
  if (end < d.size() && d[end] == '\r') ++end;
  if (end < d.size() && d[end] == '\n') ++end;
  pos = end;
  return r;
}

std::string areaof(const MainState& m, int area) {
  return area >= 1 && area <= m.pcdn2 ? m.pcdtab3[static_cast<std::size_t>(area)] : std::string();
}

}  // namespace

void pcsearch(const platform::Files& files, MainState& m, const std::string& code, std::string& name,
              std::string& county, float& x, float& y, int& more) {
  name = "-";
  county.clear();
  more = 0;
  // Each "+" typed at the end asks for the next match.
  std::string c = text::ucase(code);
  auto skip = static_cast<std::size_t>(std::count(c.begin(), c.end(), '+'));
  c.resize(c.size() - std::min(skip, c.size()));
  // A longer code's first match lies at or after the last one's, in the same block; a code
  // that does not extend the last one may match before it.
  const bool extends = m.pcsearchpos >= 0 && c.starts_with(m.pcsearchcode);
  const auto lastpos = static_cast<std::size_t>(m.pcsearchpos), lastnum = static_cast<std::size_t>(m.pcsearchnum);
  m.pcsearchpos = -1;  // forgotten unless this search finds
  std::optional<PcdFile> f;
  if (c.size() < 3 || !(f = openpcd(files))) return;
  const std::string& d = f->d;

  const auto letter = [](char ch) { return ch >= 'A' && ch <= 'Z'; };
  // The block of the first two letters; a second character other than a letter looks from the
  // start of the first letter's row, a first one from the very start.
  std::size_t entry = 0;
  if (letter(c[0])) entry = static_cast<std::size_t>(c[0] - 'A') * 26 + (letter(c[1]) ? c[1] - 'A' : 0);
  const std::size_t v = f->u32(header + 8 * f->n + 4 * entry);
  const auto block = f->record(v + 1);
  if (!block) return;
  std::size_t pos = *block, num = v;
  if (extends && lastpos >= f->text && lastpos < d.size()) std::tie(pos, num) = std::tuple(lastpos, lastnum);
  const auto inblock = [&c](const std::string& s) { return s.size() >= 2 && s[0] == c[0] && s[1] == c[1]; };
  std::size_t firstpos = 0, firstnum = 0;
  Record r;
  bool found = false;
  while (pos < d.size() && !found) {
    firstpos = pos;
    firstnum = num;
    r = readrecord(d, pos);
    ++num;
    found = r.name.starts_with(c);
    if (!found && !inblock(r.name)) return;
  }
  if (!found) return;
  while (skip > 0) {
    if (pos >= d.size()) return;
    r = readrecord(d, pos);
    ++num;
    if (r.name.starts_with(c))
      --skip;
    else if (!inblock(r.name))
      return;
  }
  if (num < 1 || num > static_cast<std::size_t>(m.pcdn1)) return;  // a file other than the one loaded
  m.pcsearchcode = c;
  m.pcsearchpos = static_cast<long>(firstpos);
  m.pcsearchnum = static_cast<int>(firstnum);
  x = m.pcdtab1[num];
  y = m.pcdtab2[num];
  county = areaof(m, r.area);
  name = r.name;
  propercase(name);
  while (pos < d.size()) {
    const Record further = readrecord(d, pos);
    if (!inblock(further.name)) break;
    if (further.name.starts_with(c) && more < INT16_MAX) ++more;
  }
}

void pcrecord(const platform::Files& files, GeoState& geo, MainState& m, float x, float y, float& foundx, float& foundy,
              std::string& name, std::string& county, int& n) {
  name = "-";
  county.clear();
  if (n < 1 || n > MainState::hitmax) return;
  const auto skipped = m.hitlist.begin() + 1, skipend = m.hitlist.begin() + n;
  double best = 1e20;
  int found = 0;
  std::string ref, foundref;
  for (int i = 1; i <= m.pcdn1; ++i) {
    const double dx = m.pcdtab1[static_cast<std::size_t>(i)] - x, dy = m.pcdtab2[static_cast<std::size_t>(i)] - y;
    const double dd = dx * dx + dy * dy;
    if (dd >= best) continue;  // ties keep the earlier centre
    gridreftext(geo, m.pcdtab1[static_cast<std::size_t>(i)], m.pcdtab2[static_cast<std::size_t>(i)], ref);
    if (std::find(skipped, skipend, ref) != skipend) continue;
    best = dd;
    found = i;
    foundref = ref;
  }
  const auto f = found ? openpcd(files) : std::nullopt;
  auto at = f ? f->record(static_cast<std::size_t>(found)) : std::nullopt;
  if (!at) return;
  const Record r = readrecord(f->d, *at);
  name = r.name;
  propercase(name);
  county = areaof(m, r.area);
  foundx = m.pcdtab1[static_cast<std::size_t>(found)];
  foundy = m.pcdtab2[static_cast<std::size_t>(found)];
  m.hitlist[static_cast<std::size_t>(n)] = foundref;
}

}  // namespace zarn
