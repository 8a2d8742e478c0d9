#include "mainwindow/iconpanel.h"

#include <algorithm>
#include <optional>

#include "app/app.h"
#include "mainwindow/keypad.h"
#include "mainwindow/keys.h"
#include "mainwindow/language.h"
#include "mainwindow/onekey.h"
#include "mainwindow/smallservices.h"
#include "mapdisplay/pictures.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/queue.h"
#include "speech/speechstate.h"

namespace zarn {

namespace {

constexpr char grave = '`';

void button(ui::Button& b, const char* caption, int left, int top, int width) {
  b.caption = caption;
  b.move(left, top, width, 28);
}

struct Entry {
  std::string key, icon, wav, text;
};

Entry readentry(App& app, int n) {
  Entry e;
  readcontrol(app.files, app.speech, app.win, n, e.key, e.icon, e.wav, e.text);
  return e;
}

// The picture and text of an entry. The picture is tested under its plain name and read under
// the language's: when only the plain one exists, nothing is shown.
void display(App& app, ControlsForm& c, const Entry& e) {
  ui::PictureRef pic;
  const std::string file = app.speech.langprefix + e.icon;
  if (!e.icon.empty() && app.files.confined(e.icon) && app.files.confined(file) && app.files.exists(e.icon))
    pic = loadpicture(app.files, *app.sys.images, file);
  c.Image1.setpicture(std::move(pic));
  c.Label1.set(e.text);
  c.touch();
}

void runentry(App& app, bool dropped) {
  const Entry e = readentry(app, app.main.ctlindex);
  ControlsForm& c = app.win.get<ControlsForm>();
  // Without the command file readcontrol gave the built-in entry, which asks for the file.
  if (controlsfile(app.files, app.speech).empty() || e.key == "HIDE") {
    hidecontrols(c);
  } else if (e.key == "KEYS") {
    showqkform(app);
    if (dropped) return;
    showkform(app);
    if (app.main.scalelayout == 0) {
      app.win.zarn.saytxt.top = 426;
      app.win.zarn.touch();
    }
  } else if (!dropped && (e.key == std::string(1, grave) || e.key == "~")) {
    showqkform(app);
    starttext(app.main, app.win.zarn, *app.sys.clock);
  } else {
    onekeycmd(app, e.key);
  }
}

}  // namespace

ControlsForm::ControlsForm() : ui::Form(formname) {
  caption = "use these controls to select required function then hit OK";
  width = 9 * 36 + 4;
  height = 236;
  add(conticon, "conticon");
  for (int k = 0; k < pageicons; ++k) {
    ui::Image& p = conticon.load(k);
    p.move(4 + k * 36, 4, 32, 32);
    p.stretch = true;
    p.visible = true;
  }
  add(Image1, "Image1");
  Image1.move(width / 2 - 48, 44, 96, 96);
  Image1.stretch = true;
  add(Label1, "Label1");
  Label1.move(4, 146, width - 8, 40);
  Label1.alignment = 2;
  Label1.wordwrap = true;
  Label1.transparent = true;
  Label1.font.size = 10;
  add(constart, "constart");
  button(constart, "|<", 4, 196, 56);
  add(conback, "conback");
  button(conback, "<", 64, 196, 56);
  add(connext, "connext");
  button(connext, ">", 124, 196, 56);
  add(conok, "conok");
  button(conok, "OK", 196, 196, width - 200);
  conok.font.bold = true;
}

ControlsForm& controlswindow(App& app) {
  ControlsForm& c = app.win.get<ControlsForm>();
  if (c.wired) return c;
  c.wired = true;
  c.constart.onClick = [&app] { controls::constart_Click(app); };
  c.conback.onClick = [&app] { controls::conback_Click(app); };
  c.connext.onClick = [&app] { controls::connext_Click(app); };
  c.conok.onClick = [&app] { controls::conok_Click(app); };
  c.Image1.onClick = [&app] { controls::Image1_Click(app); };
  // The entry's picture can also be dragged onto OK.
  c.Image1.dragmode = true;
  c.conok.onDragDrop = [&app](ui::Control&, double, double) { controls::conok_DragDrop(app); };
  for (int k = 0; k < ControlsForm::pageicons; ++k) c.conticon[k].onClick = [&app, k] { controls::conticon_Click(app, k); };
  c.onKeyPress = [&app](int& key) { controls::Form_KeyPress(app, key); };
  // A touch on a read-out of the main window brings the panel up.
  auto& z = app.win.zarn;
  for (ui::Label* l : {&z.dirbox, &z.disbox, &z.gridbox, &z.hdgbox, &z.llbox, &z.spdbox})
    l->onClick = [&app] { showcontrols(controlswindow(app), app.main, app.win.zarn); };
  // The panel opens on its current entry; the prompt waits for the first touch.
  display(app, c, readentry(app, app.main.ctlindex));
  return c;
}

std::string controlsfile(const platform::Files& files, const SpeechState& speech) {
  for (std::string name : {speech.langprefix + "controls.cfg", std::string("controls.cfg")})
    if (files.exists(name)) return name;
  return {};
}

int controlcount(const platform::Files& files, const SpeechState& speech) {
  const std::string name = controlsfile(files, speech);
  std::optional<platform::InputFile> f;
  if (!name.empty()) f = platform::InputFile::open(files, name);
  if (!f) return 1;
  // Read as readcontrol reads: four fields a record, up to the end or an END record.
  int count = 0;
  std::string key;
  while (!f->eof() && key != "END") {
    key = f->field();
    for (int k = 0; k < 3; ++k) f->field();
    if (text::ucase(key) != "TITLE") ++count;
  }
  return std::max(count, 1);
}

void showcontrol(App& app) {
  ControlsForm& c = app.win.get<ControlsForm>();
  const Entry e = readentry(app, app.main.ctlindex);
  display(app, c, e);
  TalkGuard talk(app.speech);
  talk.on();
  queuesay(app.voice, e.wav);
  speakqueue(app.voice);
}

void gotocontrol(App& app, const std::string& title) {
  const std::string name = controlsfile(app.files, app.speech);
  std::optional<platform::InputFile> f;
  if (!name.empty()) f = platform::InputFile::open(app.files, name);
  if (!f) return;
  ControlsForm& c = app.win.get<ControlsForm>();
  const std::string wanted = text::ucase(title);
  int count = 0;
  std::string key;
  for (;;) {
    if (f->eof() || key == "END") {
      count = 1;
      break;
    }
    key = f->field();
    f->field();
    f->field();
    const std::string text = f->field();
    if (text::ucase(key) == "TITLE") c.caption = text;
    else ++count;
    if (text::ucase(key) == wanted) break;
  }
  app.main.ctlindex = count;
  showcontrol(app);
}

namespace controls {

void constart_Click(App& app) {
  app.main.ctlindex = 1;
  showcontrol(app);
}

void conback_Click(App& app) {
  if (app.main.ctlindex > 1) --app.main.ctlindex;
  showcontrol(app);
}

void connext_Click(App& app) {
  // Past the last record every click would show it again: the count stops there.
  if (app.main.ctlindex < controlcount(app.files, app.speech)) ++app.main.ctlindex;
  showcontrol(app);
}

void conok_Click(App& app) { runentry(app, false); }
void Image1_Click(App& app) { runentry(app, false); }
void conok_DragDrop(App& app) { runentry(app, true); }

void conticon_Click(App& app, int index) {
  if (index < 0 || index >= ControlsForm::pageicons) return;
  const auto k = static_cast<std::size_t>(index + 1);
  gotocontrol(app, app.main.conticoncmd[k]);
  if (app.main.conticonrun[k] == 1) conok_Click(app);
}

void Form_KeyPress(App& app, int& key) {
  app.main.lastclick = app.timer();
  keycmd(app, key);
}

}  // namespace controls

}  // namespace zarn
