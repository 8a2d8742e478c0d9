#include "mainwindow/keys.h"

#include <algorithm>
#include <string_view>

#include "app/app.h"
#include "geodesy/transform.h"
#include "gpsinput/modem.h"
#include "mainwindow/demo.h"
#include "mainwindow/mapclick.h"
#include "mainwindow/onekey.h"
#include "mainwindow/popsearch.h"
#include "mainwindow/search.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/symbols.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/queue.h"
#include "vehicles/mvwindow.h"

namespace zarn {

namespace {

constexpr int enter = 13, backspace = 8, escape = 27, grave = 96;

// The current search list's slot, kept inside the table whatever searchidx holds.
std::size_t listslot(const MainState& m) {
  return static_cast<std::size_t>(std::clamp(m.searchidx, 1, MainState::fndmax));
}

bool poplist(const MainState& m) { return text::ucase(m.searchlists[listslot(m)]) == "$LPOP.PCD"; }

// Search as you type in the population list: the first centre the text begins, shown on the
// second line, and marked when it lies on the map shown.
void popsearchline(App& app) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  std::string name, county;
  float x = 0, y = 0;
  int more = 0;
  pcsearch(app.files, app.main, z.search.text, name, county, x, y, more);
  if (name == "-") {
    z.searchdat.text = "no match";
    return;
  }
  // The count as Str writes it, with its leading blank: " + 3".
  z.searchdat.text = name + " in " + county + (more > 0 ? " +" + text::str(more) : "");
  m.foundx = x;
  m.foundy = y;
  const MapView& v = app.map;
  if (!(x > v.mapxmin && x < v.mapxmax && y > v.mapymin && y < v.mapymax)) return;
  float px = 0, py = 0;
  worldtopix(app.geo, app.map, x, y, px, py);
  if (auto pic = loadicon(app.map, app.files, *app.sys.images, "$lpop.ico")) z.sym.setpicture(std::move(pic));
  showsymbol(app.win.zarn, px, py, z.searchdat.text, !isnopos(app.main.foundx, app.main.foundy));
}

// A character that can stand in typed text: the control codes (0-31, 127 and the C1 codes
// 128-159) would end, split or forge the lines of the files the text is written to.
bool printable(int code) { return (code >= 32 && code < 127) || (code >= 160 && code <= 255); }

// Typed entry: Backspace takes the last character off, any other printable key is typed and,
// when it is a letter or "+", spoken; other control keys are ignored.
void typekey(App& app, int code) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  m.searchtime = app.timer();
  if (code == backspace) {
    if (!z.search.text.empty()) z.search.text.pop_back();
  } else if (printable(code)) {
    const char c = static_cast<char>(code);
    z.search.text += c;
    z.search.visible = z.searchdat.visible = true;
    const char u = text::ucase(std::string_view(&c, 1))[0];
    if ((u >= 'A' && u <= 'Z') || u == '+') {
      TalkGuard talk(app.speech);
      talk.on();
      queuewav(app.voice, u == '+' ? "next.wav" : std::string(1, c) + ".wav");
    }
    if (poplist(m)) popsearchline(app);
  }
  z.touch();
}

// Steps the search list by one within 1..fndcount, then shows and announces it.
void steplist(Voice& voice, MainState& m, ZarnForm& z, int step) {
  if (step < 0 && m.searchidx > 1) --m.searchidx;
  if (step > 0 && m.searchidx < m.fndcount) ++m.searchidx;
  m.hitcount = 0;
  const std::size_t k = listslot(m);
  const std::string& prompt = m.searchprompts[k];
  z.search.text = prompt;
  z.searchdat.text.clear();
  z.search.visible = z.searchdat.visible = true;
  m.searchtime = voice.timer();
  z.touch();
  // The list's own announcement is its file name with ".WAV" in place of the extension.
  const std::string& file = m.searchlists[k];
  const std::string wav = text::left(file, std::max<long>(0, static_cast<long>(file.size()) - 4)) + ".WAV";
  saynow(voice, prompt, !file.empty() && voice.files.exists(wav) ? wav : prompt);
}

// The windows that use no keys themselves and pass them all to the main window.
constexpr std::string_view passing[] = {"mvform", "mveng", "cform", "kform", "fform",
                                        "wpform", "dialform", "controls", "zmform", "zarnbgd"};

}  // namespace

void keycmd(App& app, int& key) {
  MainState& m = app.main;
  const int code = key;
  key = 0;  // the key is used up here, whatever it does
  app.speech.talkstop = 0;  // a key lets held-back speech play again
  updatecar(app);
  if (code <= 0 || code > 255) return;  // no character
  if (code == '~') {
    m.searchidx = 1;
    starttext(app.main, app.win.zarn, *app.sys.clock);
  } else if (code == grave) {
    starttext(app.main, app.win.zarn, *app.sys.clock);
  } else if (code == enter || code == escape || m.typingmode == 0) {
    // Escape asks about the exit whatever is being typed: it is also what closing the window
    // sends, and the program can always be left.
    onekeycmd(app, std::string(1, static_cast<char>(code)));
  } else {
    typekey(app, code);
  }
}

std::string kcfkey(App& app, std::string key) {
  MainState& m = app.main;
  auto f = platform::InputFile::open(app.files, "ZARN.KCF");
  if (!f) return key;
  // A key is one character, or a character code when the field is longer.
  const auto keyof = [](const std::string& field) {
    if (field.size() <= 1) return field;
    const double code = text::val(field);
    return code >= 0 && code <= 255 ? std::string(1, static_cast<char>(static_cast<int>(code))) : field;
  };
  const double count = f->number();
  // The count is only a promise: the records end where the file ends.
  for (long i = 0; i < count && !f->eof(); ++i) {
    const std::string from = keyof(f->field());
    const std::string to = keyof(f->field());
    const std::string send = f->field();
    if (key != from) continue;
    key = to;  // the records after this one compare against the new key
    if (send.empty() || m.gpsport == "NULL") continue;
    if (send.back() == '!') {
      commsend(*app.sys.serial, std::string_view(send).substr(0, send.size() - 1));
      commsend(*app.sys.serial, "\r");
      m.lastsent = app.timer();
    } else {
      if (send == "+++") hangup(app);
      commsend(*app.sys.serial, send);
    }
  }
  return key;
}

void runtypedcmd(App& app) {
  MainState& m = app.main;
  TalkGuard talk(app.speech);
  talk.on();
  if (m.typingmode == 1) {
    m.typingmode = 0;
    m.typedcmd = 1;
  }
  findplace(app);
  auto& z = app.win.zarn;
  z.search.visible = z.searchdat.visible = false;
  z.touch();
}

void starttext(MainState& m, ZarnForm& z, const platform::Clock& clock) {
  // Started again while typing, the label in force before typing stays the one to go back to.
  if (m.typingmode != 1 && m.refname != "TEXT") m.prevmode = m.refname;
  m.typingmode = 1;
  // Typing is no answer to a spoken question: the question is dropped (the answers given so far
  // stand), so that Enter runs what is typed.
  m.askstate = 0;
  m.refname = "TEXT";
  m.hitcount = 0;  // a new text starts a new search
  z.search.text.clear();
  z.searchdat.text.clear();
  z.search.visible = true;
  z.searchdat.visible = true;
  z.touch();
  m.searchtime = clock.timer();
}

void prevlist(Voice& voice, MainState& m, ZarnForm& z) { steplist(voice, m, z, -1); }
void nextlist(Voice& voice, MainState& m, ZarnForm& z) { steplist(voice, m, z, 1); }

void wirekeys(App& app) {
  auto& z = app.win.zarn;
  if (!z.onKeyPress) {
    // The entry boxes and the help text take no keys themselves: typing goes through keycmd.
    z.search.locked = z.searchdat.locked = z.Help.locked = true;
    z.onKeyPress = [&app](int& k) { keycmd(app, k); };
  }
  if (!z.onDragDrop) {
    // The message line and the guidance trace lie over the map: either can be dragged off what it
    // hides, and goes where it is dropped.
    z.saytxt.dragmode = z.rgitrace.dragmode = true;
    z.onDragDrop = [&z](ui::Control& source, double x, double y) {
      if (source.form != &z) return;  // another window's control: the point is not in its window
      source.move(ui::pixel(x), ui::pixel(y));
      z.touch();
    };
  }
  if (!z.onKeyDown) {
    // Any key but M ends the demo state: the user is taking over.
    z.onKeyDown = [&app](int& k, int) {
      if (app.main.demoon == 1 && k > 0 && k < 256 && text::ucase(std::string(1, static_cast<char>(k))) != "M") {
        app.win.zarn.modebox.set("SIM");
        demooff(app.main);
      }
      k = 0;
    };
  }
  for (ui::Form* f : app.win.all()) {
    if (std::find(std::begin(passing), std::end(passing), f->name()) == std::end(passing)) continue;
    // A key typed into one of its boxes is as much a use of the window as a key it passes on:
    // the main window leaves it the keys for 10 s after either.
    if (!f->onBoxKey) f->onBoxKey = [&app] { app.main.lastclick = app.timer(); };
    if (f->onKeyPress) continue;
    f->onKeyPress = [&app](int& k) {
      app.main.lastclick = app.timer();
      keycmd(app, k);
    };
  }
  wiremapclick(app);
  wirevehiclewindows(app);
}

}  // namespace zarn
