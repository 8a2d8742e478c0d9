#include "mapdisplay/calibration.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/startform.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr const char* instructions =
    "1. Click button to choose map type. 2. Enter the map name. 3. Change WAW if needed. 4. Click on two reference "
    "positions for which you know the UK grid references (e.g. SU123567) or Lat/Lon. (e.g. 523050N0023050W or 45.567 "
    "-97.123) - one in low left quadrant, the other in top right quadrant. 5.Enter locations into the boxes provided "
    "(low for lower ref, etc). 6.Click on OK button when done. Note 1:For maps aligned with latitude and longitude, "
    "instead of UK grid, enter 15 character lat/lon references. e.g. 523050N0034550W is 52 30.50'N 3 45.50W. Note "
    "3:For "
    "overseas maps you may need to change ZARN.WAW. e.g. USA.WAW or PARIS.WAW";

// The picture lies inside a one-pixel frame: window pixel (1, 1) is its top-left pixel.
constexpr int frame = 1;

// The position text of the national grids (Irish, British), or the compact latitude/longitude
// form outside them, whatever the read-outs show.
std::string nationaltext(GeoState& geo, float x, float y) {
  const int utmmode = geo.utmmode;
  geo.utmmode = 0;
  std::string t;
  gridreftext(geo, x, y, t);
  geo.utmmode = utmmode;
  return t;
}

void mark(ui::Shape& dot, ui::Line& h, ui::Line& v, const MakdesForm::Point& p) {
  dot.move(p.x - 8, p.y - 8);
  h.set(p.x - 32, p.y, p.x + 32, p.y);
  v.set(p.x, p.y - 32, p.x, p.y + 32);
  for (ui::Control* c : {static_cast<ui::Control*>(&dot), static_cast<ui::Control*>(&h), static_cast<ui::Control*>(&v)})
    c->visible = true;
}

}  // namespace

MakdesForm::MakdesForm() : ui::Form(formname) {
  caption = "MAKDES";
  add(map, "map");
  map.underlay = true;
  map.move(frame, frame);
  map.visible = false;
  add(typecmd, "typecmd");
  typecmd.caption = "Lat/Lon";
  typecmd.move(8, 8, 72, 24);
  add(nmakdes, "nmakdes");
  nmakdes.text = "enter map name here";
  nmakdes.move(88, 8, 200, 24);
  add(waw, "waw");
  waw.text = "ZARN.WAW";
  waw.move(8, 40, 120, 24);
  add(makdesok, "makdesok");
  makdesok.caption = "OK";
  makdesok.move(136, 40, 56, 24);
  add(makdesg2, "makdesg2");
  makdesg2.text = "SU400500";
  makdesg2.move(8, 72, 150, 24);
  add(makdesg1, "makdesg1");
  makdesg1.text = "SU200300";
  makdesg1.move(8, 104, 150, 24);
  add(makdestxt, "makdestxt");
  // A text of the program's own: longer than the cut that guards captions made from files.
  makdestxt.caption = instructions;
  makdestxt.wordwrap = true;
  makdestxt.move(336, 256, 296, 216);
  for (auto [dot, name] : {std::pair{&makdesp2, "makdesp2"}, {&makdesp1, "makdesp1"}}) {
    add(*dot, name);
    dot->shape = ui::Shape::circle;
    dot->width = dot->height = 16;
    dot->bordercolor = ui::red;
    dot->borderwidth = 2;
    dot->visible = false;
  }
  for (auto [line, name] : {std::pair{&p2h, "p2h"}, {&p2v, "p2v"}, {&p1h, "p1h"}, {&p1v, "p1v"}}) {
    add(*line, name);
    line->bordercolor = ui::red;
    line->visible = false;
  }
}

MakdesForm& makdeswindow(App& app) {
  MakdesForm& f = app.win.get<MakdesForm>();
  if (!f.wired) {
    f.wired = true;
    f.onMouseDown = [&f](const ui::MouseEvent& e) { makdes_MouseDown(f, e); };
    f.typecmd.onClick = [&f] { typecmd_Click(f); };
    f.makdesok.onClick = [&app] { makdesok_Click(app); };
  }
  return f;
}

void startcalibration(App& app, const ui::PictureRef& pic) {
  MakdesForm& f = makdeswindow(app);
  f.picwidth = pic ? pic->width : 0;
  f.picheight = pic ? pic->height : 0;
  f.map.setpicture(pic);
  f.map.visible = true;
  f.width = f.picwidth + 2 * frame;
  f.height = f.picheight + 2 * frame;
  f.lower.reset();
  f.upper.reset();
  for (ui::Control* c : std::initializer_list<ui::Control*>{&f.p1h, &f.p1v, &f.p2h, &f.p2v}) c->visible = false;
  // Both markers show from the start, each in the quarter of the picture where its point is
  // asked for; a click moves it there and adds its cross hair.
  f.makdesp2.move(frame + f.picwidth / 4 - 8, frame + f.picheight * 3 / 4 - 8);
  f.makdesp1.move(frame + f.picwidth * 3 / 4 - 8, frame + f.picheight / 4 - 8);
  f.makdesp1.visible = f.makdesp2.visible = true;
  for (ui::Control* c : std::initializer_list<ui::Control*>{&f.makdestxt, &f.makdesg1, &f.makdesg2}) c->visible = true;
  f.topmost = true;
  f.show();
  f.touch();
}

void makdes_MouseDown(MakdesForm& f, const ui::MouseEvent& e) {
  const MakdesForm::Point p{static_cast<int>(std::floor(e.x)), static_cast<int>(std::floor(e.y))};
  // The halves are those of the picture as far as the window shows it, not of the screen.
  const int visible = std::min(f.picheight, f.height - frame);
  if (2 * (p.y - frame) <= visible) {
    f.upper = p;
    mark(f.makdesp1, f.p1h, f.p1v, p);
  } else {
    f.lower = p;
    mark(f.makdesp2, f.p2h, f.p2v, p);
  }
  f.touch();
}

void typecmd_Click(MakdesForm& f) {
  f.typecmd.caption = f.typecmd.caption == "Lat/Lon" ? "Grid" : "Lat/Lon";
  f.touch();
}

std::optional<std::vector<std::string>> makdeslines(GeoState& geo, const MakdesForm& f, const std::string& name,
                                                    std::string& why) {
  if (!f.lower || !f.upper) {
    why = std::string("Click the ") +
          (f.lower   ? "upper"
           : f.upper ? "lower"
                     : "lower and the upper") +
          " reference point on the map first";
    return std::nullopt;
  }
  // Window pixels less the frame: the picture's own columns and rows.
  const int lowcol = f.lower->x - frame, lowrow = f.lower->y - frame;
  const int upcol = f.upper->x - frame, uprow = f.upper->y - frame;
  // The loader divides by the differences.
  if (lowcol == upcol || lowrow == uprow) {
    why = "The two reference points are on the same " + std::string(lowcol == upcol ? "column" : "row") +
          ": click them apart";
    return std::nullopt;
  }
  struct Ref {
    std::string text;
    float x = 0, y = 0;
  };
  Ref ref[2];
  const ui::TextBox* box[2] = {&f.makdesg1, &f.makdesg2};
  for (int k = 0; k < 2; ++k) {
    ref[k].text = text::trim(box[k]->text);
    parsepos(geo, ref[k].text, ref[k].x, ref[k].y);
    if (ref[k].x == parsefailx && ref[k].y == parsefaily) {
      why = "The " + std::string(k == 0 ? "lower" : "upper") + " position \"" + ref[k].text + "\" cannot be read";
      return std::nullopt;
    }
  }

  std::vector<std::string> lines{f.nmakdes.text, name};
  const auto at = [](const std::string& r, int col, int row) {
    return r + "," + text::str(col) + "," + text::str(row);
  };
  if (f.typecmd.caption == "Grid") {
    // Corners in the national grids, whatever the read-outs show; a compact latitude/longitude
    // text is where the grids end.
    const std::string c[3] = {nationaltext(geo, ref[0].x, ref[0].y), nationaltext(geo, ref[0].x, ref[1].y),
                              nationaltext(geo, ref[1].x, ref[0].y)};
    for (const std::string& t : c)
      if (t.size() == 15) {
        why = "Grid mode needs grid positions: " + t + " lies outside the grid areas";
        return std::nullopt;
      }
    lines.push_back(at(c[0], lowcol, lowrow));
    lines.push_back(at(c[1], lowcol, uprow));
    lines.push_back(at(c[2], upcol, lowrow));
  } else {
    for (Ref& r : ref)
      if (r.text.size() != 15) {
        float lat = 0, lon = 0;
        osgbtoll(geo, r.x, r.y, lat, lon);
        llcompact(lat, lon, r.text);
      }
    lines.push_back("LL," + text::str(f.picwidth) + "," + text::str(f.picheight));
    lines.push_back(at(ref[0].text, lowcol, lowrow));
    lines.push_back(at(ref[1].text, upcol, uprow));
  }
  lines.push_back(f.waw.text);
  return lines;
}

bool makdesok_Click(App& app) {
  MakdesForm& f = makdeswindow(app);
  const std::string file = app.map.calmapname + ".DES";
  std::string why;
  const auto lines = makdeslines(app.geo, f, app.map.calmapname, why);
  if (!lines || !app.files.writelines(file, *lines, &why)) {
    app.sys.wav->beep();
    app.msgbox(lines ? file + " not written: " + why : why, platform::mb::ok, f.caption);
    return false;
  }
  app.win.get<StartForm>().show();
  f.hide();
  // The new map is catalogued when the program starts again, as the user was told.
  callhook(app.hooks.endprogram);
  return true;
}

}  // namespace zarn
