#include "mainwindow/help.h"

#include <algorithm>

#include "app/app.h"
#include "mainwindow/language.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/pictures.h"
#include "navigation/iform.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// A language's own copy of a file when it has one, else the plain name.
std::string langfile(App& app, const std::string& name) {
  const std::string own = app.speech.langprefix + name;
  return app.files.exists(own) ? own : name;
}

// What the read-outs along the bottom are, drawn on the strip above them.
void drawcallouts(ui::PictureBox& strip) {
  ui::DrawSurface& s = strip.surface;
  s.cls();
  const double w = strip.width, h = strip.height;
  struct Callout {
    double x, top, textx, texty;
    std::initializer_list<const char*> lines;
  };
  const Callout callouts[] = {
      {10, h - 20, 0, 25, {"Last Command", "Click here for", "Extra Controls"}},
      {120, 25, 50, 5, {"Latitude & Longitude"}},
      {320, 25, 270, 5, {"Grid Reference"}},
      {430, 40, 380, 25, {"Speed & Heading"}},
      {530, 25, 490, 5, {"Destination"}},
      {w - 55, 40, w - 75, 25, {"Mode"}},
  };
  for (const Callout& c : callouts) {
    s.line(c.x, h, c.x, c.top);
    s.currentx = c.textx;
    s.currenty = c.texty;
    for (const char* line : c.lines) s.print(line);
  }
}

// The information lines, white over a black copy: two beside the hide-help button, and the
// button's own mark, which the button lies over and so takes the clicks of. The two lines lie
// over the map's edge, where its grid labels are: their copy is a black band under the text.
void placeinfo(ZarnForm& z) {
  const ui::Image& close = z.Image2;
  const struct {
    ui::Label &text, &shadow;
    const char* caption;
  } lines[] = {
      {z.Label1, z.Label2, "Help: the keys of this window and the read-outs along its bottom"},
      {z.Label3, z.Label4, "` types a search (~ in the first list), Enter finds it, + and - change the list"},
      {z.Label5, z.Label6, "\xD7"},
  };
  for (int i = 0; i < 3; ++i) {
    ui::Label* pair[] = {&lines[i].text, &lines[i].shadow};
    for (ui::Label* l : pair) {
      const int off = l == pair[1] ? 1 : 0;
      l->transparent = true;
      l->forecolor = l == pair[1] ? ui::black : ui::white;
      if (i < 2) {
        l->alignment = 0;
        const int width = std::min(std::max(0, close.left - 8), ui::textwidth(z.metrics, lines[i].caption, l->font) + 8);
        l->move(4, close.top + 2 + 15 * i, width, 15);
        l->transparent = l == pair[0];
        l->backcolor = ui::black;
      } else {
        l->alignment = 2;
        l->font.size = 18;
        l->font.bold = true;
        l->move(close.left + off, close.top + off, close.width, close.height);
      }
      l->caption = lines[i].caption;
      l->visible = true;
    }
    if (i < 2) lines[i].text.zorder(0);  // the text over its band
  }
}

}  // namespace

void showhelp(App& app) {
  ZarnForm& z = app.win.zarn;
  z.logotxt.visible = false;
  z.Image2.visible = true;
  placeinfo(z);

  // A help text is a screenful or two; a longer file is shown up to the line that reaches the
  // bound, since laying out a megabyte of text would hold the window for seconds.
  constexpr std::size_t helpmax = 32 * 1024;
  std::string text;
  if (auto lines = app.files.readlines(langfile(app, "zarn.hlp")))
    for (const std::string& line : *lines) {
      if (text.size() >= helpmax) break;
      text += text::left(text::rtrim(line), static_cast<long>(helpmax)) + " \r\n";
    }
  // Without a help file the box opens empty: the hide-help button still closes it.
  z.Help.text = std::move(text);
  // The text starts below the hide-help button, which it would otherwise cover.
  if (const int below = z.Image2.top + z.Image2.height + 4; z.Help.top < below) {
    const int bottom = z.Help.top + z.Help.height;
    z.Help.top = below;
    z.Help.height = std::max(0, bottom - below);
  }
  z.Help.visible = true;

  ui::PictureRef pic = loadpicture(app.files, *app.sys.images, langfile(app, "ghelp.bmp"));
  z.ghelpi.visible = pic != nullptr;
  z.ghelp.visible = pic == nullptr;
  if (pic)
    z.ghelpi.setpicture(std::move(pic));
  else
    drawcallouts(z.ghelp);
  z.saytxt.visible = false;
  z.touch();
}

void hello(App& app) {
  ZarnForm& z = app.win.zarn;
  // A language without its own flag keeps the one shown.
  if (auto flag = loadpicture(app.files, *app.sys.images, app.speech.langprefix + "flag.ico"))
    showflag(z, std::move(flag));
  readcontrolcfg(app);
  {
    TalkGuard talk(app.speech);
    talk.on();
    showmsg(app.voice, "hello");
    queuewav(app.voice, "hello.wav");
    speakqueue(app.voice);
  }
  if (z.Image2.visible) showhelp(app);
  loadinstrpic(instruments(app), app.voice);
  z.touch();
}

namespace {

// The help picture's click: opens the overlay unless it is open.
void callhelp(App& app) {
  if (!app.win.zarn.Help.visible) showhelp(app);
}

}  // namespace

void wirehelp(App& app) {
  ZarnForm& z = app.win.zarn;
  z.Help.multiline = true;
  z.Help.locked = true;  // its keys go on to the window's handler
  // The logo is the help button's face: the button lies over it.
  z.logotxt.caption = "Help";
  z.logotxt.alignment = 2;
  z.logotxt.border = true;
  z.logotxt.backcolor = ui::lightgrey;
  z.logotxt.visible = !z.Help.visible;
  z.Image1.visible = true;
  z.Image1.onClick = z.key.onClick = [&app] { callhelp(app); };
  z.Image2.onClick = [&app] { hidehelp(app.win.zarn); };
}

}  // namespace zarn
