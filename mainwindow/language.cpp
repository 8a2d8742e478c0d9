#include "mainwindow/language.h"

#include <optional>

#include "app/app.h"
#include "mainwindow/secondary.h"
#include "mapdisplay/pictures.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

using text::trim;
using text::ucase;

namespace {

constexpr const char* languagefile = "LANGUAGE.CFG";

// The prefix of language number `wanted` in LANGUAGE.CFG: the first record with that number,
// read in file order. Nullopt when the list ends (at its end or at a name "END") first.
std::optional<std::string> findlanguage(platform::InputFile& f, int wanted) {
  std::string name = f.field();  // the start language, read as the first name would be
  double number = 0;
  for (;;) {
    if (f.eof() || trim(name) == "END") return std::nullopt;
    name = f.field();
    const std::string num = f.field();
    std::string prefix = f.field();
    // A record whose number is "END" keeps the number before it.
    if (trim(num) != "END") number = text::val(num);
    if (number == wanted) return trim(prefix);
  }
}

// The icon panel's page icons when the language has no icon file.
constexpr const char* defaulticons[ControlsForm::pageicons] = {"HIDE", "Z", "S", "#013", "M", "D", "~", "Q", "^"};

}  // namespace

void nextlanguage(App& app) {
  SpeechState& s = app.speech;
  ++s.langindex;
  std::string flag;
  if (auto f = platform::InputFile::open(app.files, languagefile)) {
    auto found = findlanguage(*f, s.langindex);
    // Every language file is named by the prefix: one that leads out of the working folder is
    // not followed, and the language becomes the default.
    if (found && !app.files.confined(*found + "FLAG.ICO")) {
      showmsg(app.voice, std::string(languagefile) + ": language prefix " + *found + " leads outside the working folder");
      found.reset();
    }
    // Past the last language: back to the default.
    if (!found) s.langindex = 0;
    const std::string prefix = found.value_or("");
    s.langprefix = prefix;
    flag = prefix + "FLAG.ICO";
    s.syntaxmode = 0;
    if (auto syntax = platform::InputFile::open(app.files, prefix + "SYNTAX.CFG"))
      s.syntaxmode = text::int16(syntax->number());
  }
  // A language without a flag of its own keeps the one shown.
  if (!flag.empty() && app.files.exists(flag))
    if (auto pic = loadpicture(app.files, *app.sys.images, flag)) showflag(app.win.zarn, std::move(pic));
}

void showflag(ZarnForm& z, ui::PictureRef flag) {
  z.languageico.setpicture(std::move(flag));
  // Hidden until the first flag is loaded, like every marker of the window.
  z.languageico.visible = true;
}

void readcontrolcfg(App& app) {
  MainState& m = app.main;
  const std::string& prefix = app.speech.langprefix;
  auto f = platform::InputFile::open(app.files, prefix + "controli.cfg");
  if (!f) {
    for (int i = 1; i <= ControlsForm::pageicons; ++i) {
      m.conticoncmd[i] = defaulticons[i - 1];
      m.conticonrun[i] = 0;
    }
    return;  // the pictures stay as they are
  }
  // A short file sets the icons it has; the others keep their keys.
  for (int i = 1; i <= ControlsForm::pageicons && !f->eof(); ++i) {
    std::string key = f->field();
    m.conticonpic[i] = f->field();
    // Two asterisks after the key: the entry runs as soon as its page is reached.
    m.conticonrun[i] = key.ends_with("**") ? 1 : 0;
    if (m.conticonrun[i] == 1) key.resize(key.size() - 2);
    m.conticoncmd[i] = key;
  }
  ControlsForm& c = app.win.get<ControlsForm>();
  for (int i = 1; i <= ControlsForm::pageicons; ++i) {
    // The picture of the language: an unprefixed file of the same name is not used.
    const std::string pic = prefix + m.conticonpic[i];
    if (m.conticonpic[i].empty() || !app.files.confined(pic) || !app.files.exists(pic)) continue;
    if (auto p = loadpicture(app.files, *app.sys.images, pic)) c.conticon[i - 1].setpicture(std::move(p));
  }
}

void readcontrol(const platform::Files& files, const SpeechState& speech, Windows& win, int entry, std::string& key,
                 std::string& icon, std::string& wav, std::string& text) {
  const std::string& prefix = speech.langprefix;
  std::string name = prefix + "controls.cfg";
  if (!files.exists(name)) name = "controls.cfg";
  auto f = platform::InputFile::open(files, name);
  if (!f) {
    key = "W";
    icon = "WAW.ICO";
    wav = "ok.wav";
    text = "File CONTROLS.CFG Needed";
    return;
  }
  ControlsForm& c = win.get<ControlsForm>();
  int count = 0;
  // Entry -1 matches none: the file is read through, and the panel keeps the last title.
  while (!f->eof() && key != "END") {
    key = f->field();
    icon = f->field();
    wav = f->field();
    text = f->field();
    if (ucase(key) == "TITLE") c.caption = text;
    else ++count;
    if (count == entry) break;
  }
  // "#" and three digits: the key of that character code (#013 is Enter).
  if (key.size() == 4 && key[0] == '#') {
    const double code = text::val(key.substr(1));
    if (code >= 0 && code <= 255) key = std::string(1, static_cast<char>(static_cast<int>(code)));
  }
}

}  // namespace zarn
