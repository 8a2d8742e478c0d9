#include "navigation/signs.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "mapdisplay/pictures.h"
#include "navigation/rgiform.h"
#include "platform/files.h"
#include "platform/services.h"
#include "platform/textrules.h"

namespace zarn {

RgiForm::RgiForm() : ui::Form(formname) {
  caption = "Route guidance";
  backcolor = ui::white;
  add(bmp, "bmp");
  add(rgitxt, "rgitxt");
  // The guidance step lays the window over the main window and centres the sign across it.
  bmp.move(220, 8, 200, 200);
  bmp.border = false;
  rgitxt.move(0, 216, 640, 96);
  rgitxt.alignment = 2;
  rgitxt.wordwrap = true;
  rgitxt.transparent = true;
  rgitxt.setfontsize(24);
}

namespace {

// The sign file read a field at a time. Every read first asks whether the file has ended, so a
// sign that runs off the end of the file without END or FINISH simply ends there.
class SignReader {
 public:
  explicit SignReader(platform::InputFile& in) : in_(in) {}
  bool field(std::string& s) {
    if (in_.eof()) return false;
    s = in_.field();
    return true;
  }
  // The argument fields of a command, each as its leading number; false when the file ends
  // first. A number no drawing can use is held to a range the painter takes.
  template <std::size_t N>
  bool numbers(std::array<double, N>& v) {
    for (double& x : v) {
      std::string s;
      if (!field(s)) return false;
      const double d = text::val(s);
      x = std::isfinite(d) ? std::clamp(d, -1e6, 1e6) : 0;
    }
    return true;
  }

 private:
  platform::InputFile& in_;
};

int colourpart(double v) { return std::clamp(text::cint(v), 0, 255); }

// Carries out a sign's drawing commands up to its END (or FINISH, or the end of the file).
void drawscript(SignReader& r, ui::DrawSurface& s) {
  // "L" and "C" count y up from the bottom edge; "M" counts down from the top, as the surface does.
  auto up = [](double y) { return 100 - y; };
  for (std::string word; r.field(word);) {
    word = text::ucase(word);
    if (word == "END" || word == "FINISH") return;
    if (word == "L") {
      std::array<double, 4> a;
      if (!r.numbers(a)) return;
      s.line(a[0], up(a[1]), a[2], up(a[3]));
    } else if (word == "C") {
      std::array<double, 3> a;
      if (!r.numbers(a)) return;
      s.circle(a[0], up(a[1]), a[2]);
    } else if (word == "M") {
      std::array<double, 2> a;
      if (!r.numbers(a)) return;
      s.currentx = a[0];
      s.currenty = a[1];
    } else if (word == "COL") {
      std::array<double, 3> a;
      if (!r.numbers(a)) return;
      s.forecolor = static_cast<ui::Colour>(colourpart(a[0]) | colourpart(a[1]) << 8 | colourpart(a[2]) << 16);
    } else if (word == "W") {
      std::array<double, 1> a;
      if (!r.numbers(a)) return;
      // A width the pen cannot take leaves the pen as it was.
      if (const int w = text::cint(s.pixelheight * a[0] / 100); w >= 1 && w <= 32767) s.drawwidth = w;
    } else if (word == "T") {
      std::string t;
      if (!r.field(t)) return;
      s.print(t);
    } else if (word == "F") {
      std::array<double, 1> a;
      if (!r.numbers(a)) return;
      if (a[0] >= 1 && a[0] <= 2160) s.fontsize = a[0];
    }
    // Any other word is skipped by itself: its own arguments then come round as words.
  }
}

}  // namespace

void drawsign(RgiForm& rgi, const platform::Files& files, platform::ImageStore& images, const std::string& name) {
  ui::PictureBox& bmp = rgi.bmp;
  const std::string uname = text::ucase(name);
  if (uname.find(".BMP") != std::string::npos && files.confined(name)) {
    if (ui::PictureRef pic = loadpicture(files, images, name)) {
      bmp.picture = std::move(pic);
      rgi.show();
      rgi.touch();
      return;
    }
  }
  if (!files.exists("ZARNSIGN.TXT")) return;
  ui::DrawSurface& s = bmp.surface;
  s.pixelwidth = bmp.width - (bmp.border ? 2 : 0);
  s.pixelheight = bmp.height - (bmp.border ? 2 : 0);
  bmp.picture = nullptr;
  s.scale(0, 0, 100, 100);
  s.cls();
  rgi.show();
  rgi.touch();
  auto in = platform::InputFile::open(files, "ZARNSIGN.TXT");
  if (!in || in->size() == 0) return;
  SignReader r(*in);
  for (std::string f;;) {
    if (!r.field(f) || f == "FINISH") return;
    if (text::ucase(f) == uname) break;
  }
  std::string cap;
  if (!r.field(cap)) return;
  s.drawwidth = std::max(1, text::cint(s.pixelheight / 10.0));
  s.currentx = s.currenty = 0;
  s.forecolor = ui::black;
  rgi.rgitxt.setfontsize(cap.size() > 36 ? 18 : 24);
  rgi.rgitxt.set(cap);
  rgi.rgitxt.visible = true;
  drawscript(r, s);
}

}  // namespace zarn
