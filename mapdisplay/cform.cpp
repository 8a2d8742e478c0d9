#include "mapdisplay/cform.h"

#include <utility>

namespace zarn {

namespace {
constexpr int rowstep = 28, buttonh = 24;

void button(ui::Button& b, const char* caption, int left, int top, int width) {
  b.caption = caption;
  b.move(left, top, width, buttonh);
}

void heading(ui::Label& l, const char* caption, int left, int top, int width) {
  l.caption = caption;
  l.move(left, top, width, 16);
  l.transparent = true;
  l.font.bold = true;
}
}  // namespace

CForm::CForm() : ui::Form(formname) {
  caption = "Controls - for Test and Experiment Only - Ctrl-C to toggle on/off";
  width = 624;
  height = 346;

  // The lists and what goes with them.
  add(Label3, "Label3");
  heading(Label3, "List of Maps", 8, 4, 200);
  add(map, "map");
  map.move(8, 22, 200, 172);
  add(Label5, "Label5");
  heading(Label5, "Auto Selection       Scale", 8, 198, 200);
  add(Command1, "Command1");
  button(Command1, "ON", 8, 216, 56);
  add(zoomcmd, "zoomcmd");
  button(zoomcmd, "", 68, 216, 140);
  add(Label4, "Label4");
  heading(Label4, "List of Destinations", 216, 4, 160);
  add(desti, "desti");
  desti.move(216, 22, 160, 172);

  // The car symbol and the two heading vectors, each with its preview above its button.
  add(Label2, "Label2");
  heading(Label2, "Symbology", 216, 198, 160);
  add(arrow, "arrow");
  arrow.move(222, 214, 32, 32);
  arrow.visible = false;  // the arrow is off at start
  add(symbol, "symbol");
  symbol.move(280, 214, 32, 32);
  add(pointer, "pointer");
  pointer.move(338, 214, 32, 32);
  pointer.border = false;
  pointer.backcolor = ui::lightgrey;
  pointer.surface.pixelwidth = pointer.surface.pixelheight = 32;
  // The pointer fan as the map draws it: a long tip between two short sides.
  pointer.surface.forecolor = ui::black;
  pointer.surface.drawwidth = 2;
  pointer.surface.line(16, 2, 8, 30);
  pointer.surface.line(16, 2, 24, 30);
  pointer.surface.line(8, 30, 24, 30);
  add(arrowcmd, "arrowcmd");
  button(arrowcmd, "OFF", 216, 250, 44);
  add(symbolcmd, "symbolcmd");
  button(symbolcmd, "0", 274, 250, 44);
  add(pointercmd, "pointercmd");
  button(pointercmd, "ON", 332, 250, 44);

  // The trail, the scale bar and the call-sign separator.
  add(maxnopcmd, "maxnopcmd");
  button(maxnopcmd, "max 100", 8, 250, 80);
  add(histcmd, "histcmd");
  button(histcmd, "10 sec", 92, 250, 80);
  add(h, "h");
  for (int i = 0; i < 3; ++i) {
    ui::Shape& s = h.load(i);
    s.shape = ui::Shape::circle;
    s.move(178 + 12 * i, 258, 8, 8);
    s.backopaque = true;
  }
  add(scalebarcmd, "scalebarcmd");
  button(scalebarcmd, "Scale Bar ON", 8, 282, 112);
  add(csgn, "csgn");
  csgn.move(128, 283, 80, 22);
  csgn.text = ">ZARN";
  add(ldrivercmd, "ldrivercmd");
  button(ldrivercmd, "L", 216, 282, 32);
  add(hidezarn, "hidezarn");
  button(hidezarn, "Hide ZARN", 256, 282, 120);

  // Two columns of buttons: the demos and the link, then the other windows.
  const std::pair<ui::Button*, const char*> left[] = {
      {&democmd, "CAR DEMO"},    {&dfdemo, "DFDEMO"},          {&celldemocmd, "CELLDEMO"},
      {&stopdemo, "STOP DEMO"},  {&mv, "MV demo"},             {&nochksumcmd, "No Chksum"},
      {&comspdcmd, "COM 4800"},  {&chasecmd, "CHASE is OFF"}};
  const std::pair<ui::Button*, const char*> right[] = {
      {&playbackcmd, "Playback"}, {&routecmd, "RouteMAN"},   {&zonemoncmd, "Zone Mon"},
      {&rgicmd, "RGIMAN"},        {&geomancmd, "GEOMAN"},    {&rformon, "Road Details"},
      {&showinst, "Instruments OFF"}};
  const char* leftnames[] = {"democmd", "dfdemo", "celldemocmd", "stopdemo", "mv", "nochksumcmd", "comspdcmd", "chasecmd"};
  const char* rightnames[] = {"playbackcmd", "routecmd", "zonemoncmd", "rgicmd", "geomancmd", "rformon", "showinst"};
  for (int k = 0; k < 8; ++k) {
    add(*left[k].first, leftnames[k]);
    button(*left[k].first, left[k].second, 384, 4 + rowstep * k, 112);
  }
  for (int k = 0; k < 7; ++k) {
    add(*right[k].first, rightnames[k]);
    button(*right[k].first, right[k].second, 504, 4 + rowstep * k, 112);
  }

  add(hidecmd, "hide");
  button(hidecmd, "Cancel", 384, 310, 112);
  add(exit, "exit");
  button(exit, "EXIT", 504, 310, 112);
  exit.font.bold = true;
  exit.font.size = 10;
}

}  // namespace zarn
