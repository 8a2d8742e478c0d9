// The main window "zarn": the map area with its markers, read-out labels along the bottom,
// the status message line and the search box.
#pragma once

#include "platform/ui.h"

namespace zarn {

class ZarnForm : public ui::Form {
 public:
  static constexpr const char* formname = "zarn";
  ZarnForm();

  // Map pictures: one picture, or tiles: a 2 x 2 block, with further columns and rows (tilex,
  // made as a map area wider or taller than a tile needs them) to cover the area.
  ui::Image map, tilenw, tilene, tilesw, tilese;
  ui::ControlArray<ui::Image> tilex;
  // Icons: own car, destination, home, found-place symbol, arrow and pointer.
  ui::Image car, dest, home, sym, vecticon, iconmouse;
  // Shadowed names; the map rights notice and its mark.
  ui::Label destlab, destlabshad, symlab, symlabshad, cpytext, mapcopy;
  ui::Shape cpyring;
  // Heading pointer and its outline, the symbol leader line.
  ui::ControlArray<ui::Line> v;
  ui::Line vshad1, vshad2, vshad3, vshad4, vecto;
  ui::ControlArray<ui::Shape> p;      // trail dots
  ui::ControlArray<ui::Image> wp;     // waypoint icons
  ui::ControlArray<ui::Line> leg;     // route lines
  ui::ControlArray<ui::Shape> zonec;  // zone circles
  ui::ControlArray<ui::Image> mvim;   // remote vehicles
  ui::ControlArray<ui::Line> mvv;
  ui::ControlArray<ui::Line> brg;     // bearing lines
  ui::ControlArray<ui::Line> dfsec;   // the outline of a direction-finding sector
  ui::Shape circle1;                  // a sector of no width: its range circle
  // Scale bar.
  ui::Label scalelab;
  ui::Line scalel1, scalel2, scalel3;
  // Read-outs, the message line and the command lamp.
  ui::Label modebox, llbox, gridbox, hdgbox, spdbox, dirbox, disbox, saytxt, showcmd, rgitrace,
      logotxt;
  ui::ControlArray<ui::Label> o;
  ui::TextBox search, searchdat, Help;
  ui::PictureBox ghelp;
  ui::Image ghelpi, Image1, Image2, key, languageico;
  ui::Label Label1, Label2, Label3, Label4, Label5, Label6;  // help texts beside the logo

  static constexpr int mapwidth = 640;
  static constexpr int mapheight = 480;
};

}  // namespace zarn
