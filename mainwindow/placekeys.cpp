#include "mainwindow/placekeys.h"

#include <utility>
#include <vector>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/moreform.h"
#include "mainwindow/secondary.h"
#include "mainwindow/smallservices.h"
#include "mapdisplay/nearest.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/symbols.h"
#include "navigation/moreinfo.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// The typed location number is a 16-bit value: a longer number is past every list.
constexpr long locmax = 32767;

struct Nearest {
  char key;
  const char* code;
  const char* label;
};
constexpr Nearest nearestkinds[] = {
    {'R', "LR", "Railway Station "},      {'F', "FS", "Petrol Filling station "},
    {']', "AN", "No Fly Zone"},           {'S', "S", "Sleeping Place "},
    {'I', "LNTEH", "Interesting Place "}, {'E', "E", "Eating Place "},
    {'P', "LPOP", "Population Centre "},  {'#', "AF", "Airfield"},
};

// The stored location's own recording: the label's letters without blanks, 8 of them.
std::string labelwav(const std::string& label) {
  std::string w;
  for (char c : label)
    if (c != ' ') w += c;
  return text::left(w, 8) + ".WAV";
}

// A name read from a data file, usable only inside the working folder.
bool present(const App& app, const std::string& name) {
  return !name.empty() && app.files.confined(name) && app.files.exists(name);
}

// The four lines of an information file: unused, picture or film, sound, text file.
struct MoreLines {
  std::string picture, sound, textfile;
};

MoreLines readmorelines(App& app, const std::string& file) {
  std::vector<std::string> l;
  if (present(app, file)) l = app.files.readlines(file).value_or(std::vector<std::string>{});
  l.resize(4);
  return {text::ucase(text::trim(text::left(l[1], 24))), text::ucase(text::trim(text::left(l[2], 24))),
          text::trim(text::left(l[3], 24))};
}

}  // namespace

void lockey(App& app, int digit) {
  MainState& m = app.main;
  if (digit < 0 || digit > 9) return;
  // The destination's prompt first: a digit past the list leaves it so, and nothing else.
  m.foundwav = "destinat.wav";
  long num = static_cast<long>(m.locnum) * 10 + digit;
  if (num == 0) num = 10;  // "0" alone is entry 10
  const auto recs = readlocrecords(app.files);
  if (num > locmax || !recs || static_cast<std::size_t>(num) > recs->size()) {
    // Past the end: the found place stays as it was, but for its prompt.
    m.locnum = 0;
    app.sys.wav->beep();
    return;
  }
  m.locnum = static_cast<int>(num);
  const LocRecord& r = (*recs)[static_cast<std::size_t>(num - 1)];
  m.foundref = r.pos;
  app.nav.foundfile.clear();
  app.nav.morefile.clear();  // the information of an earlier search is not this place's
  app.main.foundwav = findwav(app.files, r.pos, r.label, app.nav.foundfile, app.map.geofile);
  if (m.foundwav == "destinat.wav" && present(app, labelwav(r.label))) m.foundwav = labelwav(r.label);

  parsepos(app.geo, r.pos, m.foundx, m.foundy);
  float px = -9999, py = -9999;
  worldtopix(app.geo, app.map, m.foundx, m.foundy, px, py);
  m.foundlabel = r.label;
  ZarnForm& z = app.win.zarn;
  if (auto pic = loadicon(app.map, app.files, *app.sys.images, "$lpop.ico")) z.sym.setpicture(std::move(pic));
  showsymbol(app.win.zarn, px, py, m.foundlabel, !isnopos(app.main.foundx, app.main.foundy));

  TalkGuard talk(app.speech);
  talk.on();
  showmsg(app.voice, "OK  " + text::str(m.locnum) + " " + m.foundlabel);
  z.touch();
  queuewav(app.voice, "ok.wav");
  saynumber(app.voice, std::to_string(m.locnum));
  queuewav(app.voice, m.foundwav);
  speakqueue(app.voice);
}

void findnearestkey(App& app, const std::string& key) {
  MainState& m = app.main;
  const Nearest* kind = nullptr;
  for (const Nearest& k : nearestkinds)
    if (key.size() == 1 && key[0] == k.key) kind = &k;
  if (!kind) return;
  m.hitcount = 0;
  m.typedcmd = 0;
  const std::string list = std::string("$") + kind->code;
  ZarnForm& z = app.win.zarn;
  TalkGuard talk(app.speech);
  for (int i = 1; i <= m.fndcount && i <= MainState::fndmax; ++i) {
    const std::string& file = m.searchlists[static_cast<std::size_t>(i)];
    if (text::ucase(text::left(file, static_cast<long>(file.size()) - 4)) != list) continue;
    m.searchidx = i;
    m.searchtime = app.timer();  // the list chosen stays chosen as a typed search would
    if (kind->key == ']') {
      saynow(app.voice, "OK", "ok.wav");
      saynearest(app, 0);
      return;
    }
    z.search.text = kind->label;
    z.search.visible = true;
    talk.on();
    queuewav(app.voice, list + ".wav");
    speakqueue(app.voice);
    z.sym.visible = z.symlab.visible = z.symlabshad.visible = false;
    readoverlay(app.win.zarn, app.geo, app.map, app.files, list + ".GTX");
    z.touch();
    return;
  }
  talk.on();
  showmsg(app.voice, std::string("I can't find ") + kind->label);
  queuewav(app.voice, "icantfin.wav");
  queuewav(app.voice, list + ".wav");
  speakqueue(app.voice);
}

void morekey(App& app) {
  MainState& m = app.main;
  TalkGuard talk(app.speech);
  talk.on();
  std::string info, guide;
  // By name as well: a place a search announced by its name has no reference in the table.
  std::string why;
  moreinfo(app.nav, app.files, "", app.nav.morefile, m.foundlabel, info, guide, &why);
  if (info.empty()) {
    showmsg(app.voice, why.empty() ? "more information is not available" : why);
    queuewav(app.voice, "morenota.wav");
    speakqueue(app.voice);
    if (ui::Form* f = app.win.find(MoreForm::formname)) f->hide();
    return;
  }
  const MoreLines l = readmorelines(app, info);
  std::string words;  // the text file, its lines run together
  if (present(app, l.textfile)) {
    const auto lines = app.files.readlines(l.textfile).value_or(std::vector<std::string>{});
    for (const std::string& s : lines) words += s;
    if (!l.sound.empty() && !lines.empty()) showmsg(app.voice, lines.front());
  }
  const bool hadcontrols = controlsvis(app.win.get<ControlsForm>());
  if (hadcontrols) hidecontrols(app.win.get<ControlsForm>());

  MoreForm& more = app.win.get<MoreForm>();
  if (l.picture.empty()) {
    if (!words.empty()) showmsg(app.voice, words);
  } else if (!present(app, l.picture)) {
    more.moretext.set(words + " I can't find file " + l.picture);
  } else if (l.picture.find(".BMP") != std::string::npos) {
    more.moretext.set(words);
    more.bmp.setpicture(loadpicture(app.files, *app.sys.images, l.picture));
    more.show();
    const int w = more.bmp.picture ? more.bmp.picture->width : 0, h = more.bmp.picture ? more.bmp.picture->height : 0;
    more.bmp.move((more.width - w) / 2, (more.height - h) / 2);
  }
  more.touch();
  if (!l.sound.empty()) {
    queuewav(app.voice, l.sound);
    speakqueue(app.voice);  // the window stays up while it plays
  }
  if (l.picture.find(".AVI") != std::string::npos || l.picture.find(".MPG") != std::string::npos)
    runpicviewr(app.voice, l.picture);
  more.hide();
  if (hadcontrols) showcontrols(app.win.get<ControlsForm>(), app.main, app.win.zarn);
}

}  // namespace zarn
