#include "speech/position.h"

#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/queue.h"
#include "speech/rform.h"

namespace zarn {

namespace {

// One place of the place file, measured from the position reported.
struct Place {
  float x = 0;
  float dist = 0;  // km
  int brg = 0;     // from the place to the position
  std::string text, wav;
  float radius = 0;
};

}  // namespace

bool knownplaces(SpeechState& s, const platform::Files& files, GeoState& geo, const std::string& placesfile) {
  namespace fs = std::filesystem;
  const fs::path path = files.resolve(placesfile);
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  const auto time = ec ? fs::file_time_type{} : fs::last_write_time(path, ec);
  if (!ec && platform::settled(time) && s.placesread == path.string() && s.placessize == size && s.placestime == time) return true;
  s.placesread.clear();
  s.places.clear();
  // A place file lists a map's places: a few MB at most.
  auto in = platform::InputFile::open(files, placesfile, platform::Files::datalimit);
  if (!in || ec) return false;
  while (!in->eof()) {
    platform::InputFile rec(in->lineinput());
    const std::string where = text::trim(rec.field());
    if (where.empty()) break;  // the list ends here
    SpeechState::KnownPlace p;
    p.text = rec.field();
    p.wav = rec.field();
    p.radius = static_cast<float>(rec.number());
    float x = 0, y = 0;
    parsepos(geo, where, x, y);
    if (x == parsefailx && y == parsefaily) continue;
    p.at = framepoint(geo, x, y);
    s.places.push_back(std::move(p));
  }
  std::tie(s.placesread, s.placessize, s.placestime) = std::tuple(path.string(), size, time);
  return true;
}

namespace {

// The places of the file, in file order, measured from (x, y); nullopt when it cannot be read.
std::optional<std::vector<Place>> readplaces(App& app, float x, float y) {
  if (!knownplaces(app.speech, app.files, app.geo, app.map.placesfile)) return std::nullopt;
  std::vector<Place> places;
  places.reserve(app.speech.places.size());
  const FramePoint here = framepoint(app.geo, x, y);
  for (const SpeechState::KnownPlace& k : app.speech.places) {
    Place p;
    p.x = k.at.x;
    p.text = k.text;
    p.wav = k.wav;
    p.radius = k.radius;
    distbearing(k.at, here, p.dist, p.brg);
    places.push_back(std::move(p));
  }
  return places;
}

struct Wording {
  std::string shown, key;  // "1.5 miles" and its spoken key " 1.5m"
};

// The distance of the first or second place in the user's units; d is miles (or nautical
// miles) unless metric, then km.
Wording distwording(float d, bool metric, bool second) {
  using text::str;
  const auto tenths = [](float v) { return static_cast<float>(std::floor(v * 10)) / 10; };
  const auto whole = [](float v) { return static_cast<float>(std::floor(v + 0.5f)); };
  if (!metric) {
    if (d < 0.6f) {
      const float yd = static_cast<float>(std::floor(d * 176)) * 10;
      return {str(yd) + " yards", str(yd) + "y"};
    }
    if (d < 5) {
      const float t = tenths(d);
      if (t == 1) return {second ? "1 mile " : "1 mile", str(t) + "m"};
      return {str(t) + " miles", str(t) + "m"};
    }
    const float n = whole(d);
    return {str(n) + " miles", str(n) + "m"};
  }
  if (!second) {
    if (d < 5) {
      const float t = tenths(d);
      if (t == 1) return {"1 km", str(t) + "k"};
      return {str(t) + " km", str(t) + "k"};
    }
    const float n = whole(d);
    return {str(n) + " km", str(n) + "k"};
  }
  if (d < 1) {
    const float m = static_cast<float>(std::floor(d * 100)) * 10;
    return {str(m) + " m", str(m) + "m"};
  }
  if (d < 5) {
    const float t = tenths(d);
    return {str(t) + " km", str(t) + "k"};
  }
  const float n = whole(d);
  return {str(n) + " km ", str(n) + "k"};
}

// Whether the report is of the last found place, told under its label. The prompt alone does not
// say so: a typed position and a clicked destination share "destinat.wav". A destination taken
// over from the found place is read back from its grid reference, to the metre. While no place is
// marked on the map (at start-up, the destination ZARN.CFG saved with its label and prompt) the
// found place is where its position text says.
bool ofthefoundplace(GeoState& geo, const MainState& m, float x, float y, const std::string& prompt) {
  if (prompt != m.foundwav) return false;
  float fx = m.foundx, fy = m.foundy;
  if (isnopos(fx, fy)) {
    if (m.foundref.empty()) return false;
    parsepos(geo, m.foundref, fx, fy);
    if (fx == parsefailx && fy == parsefaily) return false;
  }
  return !isnopos(fx, fy) && std::abs(x - fx) < 0.01f && std::abs(y - fy) < 0.01f;
}

}  // namespace

void sayposition(App& app, float x, float y, const std::string& prompt) {
  if (x == noposx || y == noposy) {  // either half: no position
    speakqueue(app.voice);
    app.doevents();
    return;
  }
  SpeechState& s = app.speech;
  s.placefound = 0;
  const auto places = readplaces(app, x, y);
  if (!places) return;

  // The nearest place big enough to be named first.
  const float placemin = app.map.placemin;
  const Place* first = nullptr;
  float best = 1e12f;
  for (const Place& p : *places) {
    if (p.dist < best && p.radius >= placemin) {
      first = &p;
      best = p.dist;
    }
  }
  // The nearest other place; far from everything, one on the other side of us.
  const Place none;
  const Place& one = first ? *first : none;
  const bool far = one.dist >= 805;
  const bool east1 = one.x > x;
  const Place* second = nullptr;
  best = 1e12f;
  for (const Place& p : *places) {
    if (p.wav == one.wav) continue;
    if (p.dist < best && (!far || (p.x > x) != east1)) {
      second = &p;
      best = p.dist;
    }
  }

  const bool metric = app.main.metric != 0;
  const bool nautical = app.main.nautical == 1;
  const std::string inword = app.main.platformkind == 0 ? "in " : "over ";
  const auto units = [&](float km) {
    if (metric) return km;
    float m = km / 1.61f;
    if (nautical) m /= 1.15f;
    return m;
  };

  const bool found = prompt != "weare.wav" && ofthefoundplace(app.geo, app.main, x, y, prompt);
  clearmsg(app.voice);
  if (prompt == "weare.wav") appendmsg(app.voice, "We are ");
  else if (found) appendmsg(app.voice, app.main.foundlabel + " ");
  else appendmsg(app.voice, "Destination ");

  bool inside1 = false;
  Wording w1;
  std::string compass1, compasstext1;
  if (first) {
    if (first->dist <= first->radius) {
      inside1 = true;
      s.placefound = 1;
      appendmsg(app.voice, inword);
    } else {
      w1 = distwording(units(first->dist), metric, false);
      compassphrase(first->brg, compass1, compasstext1);
      appendmsg(app.voice, w1.shown + compasstext1);
    }
    appendmsg(app.voice, first->text);
  }

  // Without a first place nothing is nearer than it, so only a big second place is named.
  const bool mention2 = second && (second->radius >= placemin || second->dist < one.dist);
  bool inside2 = false;
  Wording w2;
  std::string compass2, compasstext2;
  if (mention2) {
    appendmsg(app.voice, " and ");
    compassphrase(second->brg, compass2, compasstext2);
    if (second->dist < second->radius) {
      inside2 = true;
      s.placefound = 1;
      appendmsg(app.voice, inword + second->text);
    } else {
      w2 = distwording(units(second->dist), metric, true);
      appendmsg(app.voice, w2.shown + compasstext2 + second->text);
    }
  }

  if (prompt == "weare.wav") app.win.get<RForm>().waw.set(s.msgtext);
  reshowmsg(app.voice);

  const std::string inwav = app.main.platformkind == 0 ? "in.wav" : "over.wav";
  if (prompt == "weare.wav") queuewav(app.voice, s.syntaxmode == 1 ? "ourposit.wav" : "weare.wav");
  else if (found) {
    if (!prompt.empty()) queuewav(app.voice, prompt);  // a place found by a typed name has no prompt of its own
  } else {
    queuewav(app.voice, "destinat.wav");
  }
  if (s.syntaxmode != 1) {
    if (first) {
      if (inside1) {
        queuewav(app.voice, inwav);
      } else {
        saydistance(app.voice, w1.key);
        queuewav(app.voice, compass1);
      }
      queuewav(app.voice, first->wav);
    }
    if (mention2) {
      queuewav(app.voice, "AND.WAV");
      if (inside2) {
        queuewav(app.voice, inwav);
      } else {
        saydistance(app.voice, w2.key);
        queuewav(app.voice, compass2);
      }
      queuewav(app.voice, second->wav);
    }
  } else {
    // Verb last: place, direction, distance, and "is" to close a sentence of two places.
    if (first) {
      queuewav(app.voice, first->wav);
      queuewav(app.voice, compass1);
      saydistance(app.voice, w1.key);
    }
    if (mention2) {
      queuewav(app.voice, "AND.WAV");
      queuewav(app.voice, second->wav);
      if (!inside2) {
        queuewav(app.voice, compass2);
        saydistance(app.voice, w2.key);
      }
      queuewav(app.voice, "is.wav");
    }
  }
  speakqueue(app.voice);
  app.doevents();
}

}  // namespace zarn
