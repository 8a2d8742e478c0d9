#include "mapdisplay/mapload.h"

#include <cmath>
#include <string>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/waits.h"
#include "mapdisplay/calibration.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/redraw.h"
#include "mapdisplay/scalebar.h"
#include "mapdisplay/tiles.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/reports.h"

namespace zarn {

namespace {

// A map the loader cannot use: said once, as the choice does not ask for it again until the
// catalogue is built again.
void refuse(App& app, int n, const std::string& why) {
  app.map.failedmaps.insert(n);
  showmsg(app.voice, why);
}

void loadtiled(App& app, int n, const MapDes& d) {
  MapView& m = app.map;
  const auto k = static_cast<std::size_t>(n);
  m.curlatlon = 0;
  app.win.zarn.map.visible = false;
  m.tiledir = text::mid(d.r[0], 6);
  m.mapew[k] = d.a[0] * m.scrwidth / 640;
  if (!d.places.empty()) m.placesfile = d.places;
  float cx = 0, cy = 0;
  followedpoint(app, cx, cy);
  m.mapxmin = cx - m.mapew[k] / 2;
  m.mapxmax = m.mapxmin + m.mapew[k];
  // As tall as the map area at the tiles' scale: 3/4 of the width in the 640 x 480 area, and
  // the screen's own proportion when the area is the screen.
  const float h = m.scrwidth > 0 ? m.mapew[k] * m.scrheight / m.scrwidth : m.mapew[k] * 3 / 4;
  m.mapymin = cy - h / 2;
  m.mapymax = m.mapymin + h;
  m.mapx640[k] = 1;
  m.picwidth = 640;
  m.picheight = 480;
  drawtiles(app, cx, cy);
}

// The picture of a single-picture map for the rotation in force: the turned copy of the sector
// when there is one, else the north-up picture (unturned set).
struct MapPicture {
  std::string file;
  bool unturned = false;
  ui::PictureRef pic;
};
MapPicture mappicture(App& app, int n, std::string& why) {
  const MapView& m = app.map;
  const std::string& name = m.mapname[static_cast<std::size_t>(n)];
  MapPicture p{name, false, nullptr};
  if (m.rotangle > 0 && !p.file.empty()) p.file[0] = static_cast<char>('0' + m.rotsector);
  p.file += ".BMP";
  if (m.rotangle > 0 && !app.files.exists(p.file)) {
    p.unturned = true;
    p.file = name + ".BMP";
  }
  p.pic = loadpicture(app.files, *app.sys.images, p.file, &why, platform::PictureUse::map);
  return p;
}

void loadsingle(App& app, int n, const MapDes& d, const MapPicture& p) {
  MapView& m = app.map;
  ZarnForm& z = app.win.zarn;
  const auto k = static_cast<std::size_t>(n);
  m.curlatlon = m.maplatlon[k];
  m.placesfile = d.places.empty() ? std::string("ZARN.WAW") : d.places;
  m.placemin = placethreshold(app.files, m.placesfile);

  hidetiles(z);
  m.mapbmp = p.file;
  if (m.rotangle > 0) {
    m.norotmap = p.unturned ? 1 : 0;
    if (p.unturned) northup(m);
  }

  // The picture is read once; its natural size calibrates the map.
  ui::Image& img = z.map;
  img.stretch = false;
  img.move(0, 0, 640, 480);
  img.visible = false;
  img.setpicture(p.pic);
  m.picwidth = static_cast<float>(img.width);
  m.picheight = static_cast<float>(img.height);
  m.mapx640[k] = m.picwidth / 640;
  if (m.mapzoom == 1 && (m.picwidth != m.scrwidth || m.picheight != m.scrheight)) {
    img.stretch = true;
    img.width = static_cast<int>(m.scrwidth);
    img.height = static_cast<int>(m.scrheight);
  }
  img.visible = true;
  z.touch();
  whitelabels(z);

  const float W = m.picwidth - 1, H = m.picheight - 1;
  const float a1 = d.a[0], a2 = d.a[1], a3 = d.a[2];
  const float b1 = H - d.b[0], b2 = H - d.b[1], b3 = H - d.b[2];
  float e2 = 0, n2 = 0, e3 = 0, n3 = 0;
  parsepos(app.geo, d.r[1], e2, n2);
  parsepos(app.geo, d.r[2], e3, n3);
  if (m.curlatlon == 0) {
    // The same calibration as the catalogue's: the west edge from the first reference point,
    // whose column a1 is (the second point's easting belongs to another column).
    const float a[3] = {a1, a2, a3}, b[3] = {b1, b2, b3};
    const GridCorners c = gridcorners(app.geo, d, a, b, W, H);
    m.mapswx[k] = c.swx;
    m.mapswy[k] = c.swy;
    m.mapnex[k] = c.nex;
    m.mapney[k] = c.ney;
    m.mapew[k] = m.mapnex[k] - m.mapswx[k];
  } else {
    float lat2 = 0, lon2 = 0, lat3 = 0, lon3 = 0;
    osgbtoll(app.geo, e2, n2, lat2, lon2);
    osgbtoll(app.geo, e3, n3, lat3, lon3);
    if (lon3 < lon2) lon3 += 360;
    if (lon3 - lon2 == 360) {
      m.maplonmin = -180;
      m.maplonmax = 180;
      m.maplatmin = -90;
      m.maplatmax = 90;
    } else {
      const float kx = (lon3 - lon2) / (a3 - a2);
      m.maplonmin = lon2 - kx * a2;
      m.maplonmax = (W - a3) * kx + lon3;
      if (m.maplonmax > 180) m.maplonmax -= 360;
      const float ky = (lat3 - lat2) / (b3 - b2);
      m.maplatmin = lat2 - b2 * ky;
      m.maplatmax = (H - b3) * ky + lat3;
      lltoosgb(app.geo, m.maplatmin, m.maplonmin, m.mapswx[k], m.mapswy[k]);
      lltoosgb(app.geo, m.maplatmax, m.maplonmax, m.mapnex[k], m.mapney[k]);
      float eastx = m.mapnex[k];
      if (m.maplonmax <= m.maplonmin) {
        float y = 0;
        lltoosgb(app.geo, m.maplatmax, m.maplonmax + 360, eastx, y);
      }
      m.mapew[k] = std::fabs(eastx - m.mapswx[k]);
    }
  }
  m.mapxmin = m.mapswx[k];
  m.mapxmax = m.mapnex[k];
  m.mapymin = m.mapswy[k];
  m.mapymax = m.mapney[k];
}

// Shows the current map's rights notice (<map>.cpr), if it has one.
void showmapcpr(App& app) {
  MapView& m = app.map;
  ZarnForm& z = app.win.zarn;
  z.cpytext.visible = false;
  z.cpyring.visible = false;
  z.mapcopy.visible = false;
  if (m.curmap < 1 || m.curmap > MapView::mapmax) return;
  const auto lines = app.files.readlines(m.mapname[static_cast<std::size_t>(m.curmap)] + ".cpr");
  if (!lines) return;
  std::string notice;
  bool mark = false;
  ui::Colour colour = ui::white;
  for (std::string line : *lines) {
    if (line.find('!') != std::string::npos) {
      line = text::mid(line, 2);
      colour = ui::black;
    }
    if (text::left(line, 4) == "c   ") {
      z.cpytext.set(line);
      z.cpytext.left = static_cast<int>(m.scrwidth / 2 - std::floor(static_cast<double>(line.size()) * 3.5));
      mark = true;
    } else {
      notice += text::rtrim(line) + "\r\n";
    }
  }
  z.cpytext.forecolor = colour;
  z.mapcopy.forecolor = colour;
  z.cpyring.bordercolor = colour;
  z.cpyring.move(z.cpytext.left - 8, z.cpytext.top + 3);
  z.mapcopy.set(notice);
  z.mapcopy.left = static_cast<int>((m.scrwidth - static_cast<float>(z.mapcopy.width)) / 2);
  m.cprtime = app.timer();
  z.mapcopy.visible = true;
  if (mark) {
    z.cpyring.visible = true;
    z.cpytext.visible = true;
  }
  z.touch();
}

}  // namespace

float placethreshold(const platform::Files& files, const std::string& placesfile) {
  float placemin = 6.0f;
  auto in = platform::InputFile::open(files, placesfile, platform::Files::datalimit);
  if (!in) return placemin;
  float most = 0;
  while (!in->eof()) {
    const std::string name = text::trim(in->field());
    if (name.empty()) break;
    in->field();
    in->field();
    const auto importance = static_cast<float>(in->number());
    if (importance > most) most = importance;
    if (name == "BIGPLACE") placemin = importance;
  }
  if (most < placemin) placemin = most;
  return placemin;
}

void loadmap(App& app, int n) {
  MapView& m = app.map;
  if (n < 1 || n > m.mapcount || m.loading || m.redrawing) return;
  const MapBusy busy(m.loading);
  const auto k = static_cast<std::size_t>(n);
  // The description is checked before anything on the window changes: a map that cannot be
  // calibrated leaves the current one in place.
  std::string why;
  const auto d = readdes(app.files, m.mapname[k] + ".DES", &why);
  if (!d) {
    refuse(app, n, "Map description " + why);
    return;
  }
  if (m.mapkind[k] == 0 && degenerate(*d)) {
    refuse(app, n, "Map " + m.mapname[k] + ".DES is unusable: its reference points share a row or column");
    return;
  }
  // So is the picture: without it the view would keep the old picture under the new bounds.
  MapPicture pic;
  if (m.mapkind[k] == 0) {
    pic = mappicture(app, n, why);
    if (!pic.pic) {
      refuse(app, n, "Map picture " + why);
      return;
    }
  }

  hideoverlays(app.win.zarn, app.map, app.main.mvmode == 1 ? app.veh.mvsize : 0);
  m.curmap = n;
  m.maptitle = readdesname(app.files, m, n);
  // Icons are read again for the new map, so that one added meanwhile is found.
  m.icons.clear();
  saymapchange(app, m.maptitle);
  if (m.mapkind[k] >= 1)
    loadtiled(app, n, *d);
  else
    loadsingle(app, n, *d, pic);
  redrawmap(app);
  showmapcpr(app);
  scalebar(app.win.zarn, app.geo, app.map);
  drawdfsector(app.win.zarn, app.geo, app.map, app.gps.dfsector);
}

void missingdes(App& app, const std::string& name) {
  MapView& m = app.map;
  // One calibration at a time: a catalogue read again while one is open leaves this map out.
  if (app.win.loaded<MakdesForm>() && app.win.get<MakdesForm>().visible) return;
  m.calmapname = text::ucase(name);
  const std::string picture = m.calmapname + ".BMP";
  if (!app.files.exists(picture)) {
    app.msgbox("MAPS.DIR contains an entry called " + m.calmapname + " but the image file " + picture +
                   " is missing.",
               platform::mb::ok, "Image File Missing");
    callhook(app.hooks.endprogram);
    return;
  }
  app.msgbox("The description file " + m.calmapname + ".DES for this map image is missing. " +
                 "You will be asked to define two reference " + "positions so that " + m.calmapname +
                 ".DES can be created. " + "You will then have to start ZARN again.",
             platform::mb::ok, "Description File Missing");
  // The picture's size belongs to the calibration window: the map view keeps its own.
  const ui::PictureRef pic = zarn::loadpicture(app.files, *app.sys.images, picture, nullptr, platform::PictureUse::map);
  const int w = pic ? pic->width : 0, h = pic ? pic->height : 0;
  // The size is told over the picture it speaks of ("If it looks OK it is OK").
  startcalibration(app, pic);
  app.msgbox(w == 640 && h == 480 ? std::string("This Image is standard 640x480.") + " If it looks OK it is OK."
                                  : std::string("Warning. Only 640x480 or 800x600 BMP supported."),
             platform::mb::ok, picture + " is " + std::to_string(w) + "x" + std::to_string(h) + " pixels.");
  // The user's time: no limit, the serial port polled and the window's events running, until
  // OK (which ends the program) or a key of the main window hides it.
  const MakdesForm& f = app.win.get<MakdesForm>();
  const auto over = [&] { return !f.visible || app.main.quit; };
  while (!over()) pollwait(app, 3600, [&](float) { return over(); });
  app.win.zarn.show();
}

}  // namespace zarn
