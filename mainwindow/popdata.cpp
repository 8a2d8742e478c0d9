#include "mainwindow/popdata.h"

#include <cstdint>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "mainwindow/smallservices.h"
#include "mapdisplay/startform.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr std::size_t header = 4;           // the two counts
constexpr std::size_t lettertable = 2704;   // 676 four-byte entries, used by the search
constexpr std::size_t areafield = 32;

int le16(const std::string& d, std::size_t at) {
  const auto lo = static_cast<unsigned char>(d[at]), hi = static_cast<unsigned char>(d[at + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

// An area name as stored: substituted, blank-filled, some county stems without "SHIRE".
std::string areaname(std::string field) {
  (void)flipchars(field);
  field = text::ucase(text::rtrim(field));
  for (const char* stem : {"HERTFORD", "OXFORD", "NORTHAMPTON", "LINCOLN", "BUCKINGHAM", "BEDFORD"})
    if (field == stem) {
      field += "SHIRE";
      break;
    }
  propercase(field);
  return field;
}

}  // namespace

bool readpopcd(const platform::Files& files, MainState& m, Windows& win, std::string* why) {
  m.pcdn1 = 0;
  m.pcdn2 = 0;
  m.pcdtab1.assign(1, 0);
  m.pcdtab2.assign(1, 0);
  m.pcdtab3.assign(1, "");
  if (!files.exists("$LPOP.PCD")) return true;
  std::string refused;
  // A table of the whole country's towns: a few MB at most.
  const auto data = files.read("$LPOP.PCD", platform::Files::datalimit, &refused);
  if (!data || data->size() < header) {
    if (why) *why = !refused.empty() ? refused : "$LPOP.PCD is too short to hold its counts";
    return false;
  }
  const std::string& d = *data;
  const int n1 = le16(d, 0), n2 = le16(d, 2);
  if (n1 < 0 || n2 < 0) {
    if (why) *why = "$LPOP.PCD holds a negative count";
    return false;
  }
  bool whole = true;
  // Positions: as many whole records as the file holds.
  const std::size_t posbytes = d.size() - header;
  int have1 = n1;
  if (static_cast<std::size_t>(n1) * 4 > posbytes) {
    have1 = static_cast<int>(posbytes / 4);
    whole = false;
  }
  m.pcdtab1.assign(static_cast<std::size_t>(have1) + 1, 0);
  m.pcdtab2.assign(static_cast<std::size_t>(have1) + 1, 0);
  startbar(win.get<StartForm>(), 0);
  int counter = 0;
  for (int i = 1; i <= have1; ++i) {
    const std::size_t at = header + 4 * static_cast<std::size_t>(i - 1);
    m.pcdtab1[i] = static_cast<float>(le16(d, at)) / 40.0f;
    m.pcdtab2[i] = static_cast<float>(le16(d, at + 2)) / 20.0f;
    if (counter < 100) {
      ++counter;
    } else {
      counter = 0;
      startbar(win.get<StartForm>(), static_cast<float>(i) / static_cast<float>(n1));
    }
  }
  m.pcdn1 = have1;
  startbar(win.get<StartForm>(), 0);
  // Area names, after the name offsets and the letter table; only when the positions were
  // whole can their place be trusted.
  int have2 = 0;
  const std::size_t names = header + 8 * static_cast<std::size_t>(n1) + lettertable;
  if (whole) {
    const std::size_t room = d.size() > names ? d.size() - names : 0;
    have2 = static_cast<std::size_t>(n2) * areafield > room ? static_cast<int>(room / areafield) : n2;
    if (have2 < n2) whole = false;
  }
  m.pcdtab3.assign(static_cast<std::size_t>(have2) + 1, "");
  for (int j = 1; j <= have2; ++j) {
    m.pcdtab3[j] = areaname(d.substr(names + areafield * static_cast<std::size_t>(j - 1), areafield));
    startbar(win.get<StartForm>(), static_cast<float>(j) / static_cast<float>(n2));
  }
  m.pcdn2 = have2;
  if (!whole && why)
    *why = "$LPOP.PCD is shorter than its counts: " + std::to_string(m.pcdn1) + " of " + std::to_string(n1) +
           " centres and " + std::to_string(m.pcdn2) + " of " + std::to_string(n2) + " areas kept";
  return whole;
}

}  // namespace zarn
