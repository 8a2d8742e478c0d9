#include "navigation/rgiman.h"

#include <string_view>
#include <utility>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "mapdisplay/pictures.h"
#include "navigation/rgiform.h"
#include "navigation/signs.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

const char* turntype(int index) {
  static constexpr const char* types[RgimanForm::turns] = {"TL", "TLT", "TLX", "TLR", "S",  "SX", "SR",
                                                           "TR", "TRT", "TRX", "TRR", "B",  "BR"};
  return index >= 0 && index < RgimanForm::turns ? types[index] : "";
}

RgimanForm::RgimanForm() : ui::Form(formname) {
  caption = "RGIMAN";
  width = 440;
  height = 296;
  add(Label1, "Label1");
  add(gg, "gg");
  add(ggrad, "ggrad");
  add(hdg, "hdg");
  add(hdgd, "hdgd");
  add(wavfile, "wavfile");
  add(bmpfile, "bmpfile");
  add(Text1, "Text1");
  add(Image1, "Image1");
  add(Image2, "Image2");
  add(Command1, "Command1");
  add(Command2, "Command2");
  add(Command3, "Command3");
  const std::pair<ui::Control*, const char*> rows[] = {{&gg, "Position"},   {&ggrad, "Radius (m)"}, {&hdg, "Direction"},
                                                       {&hdgd, "Tolerance"}, {&wavfile, "Sound"},     {&bmpfile, "Sign"},
                                                       {&Text1, "Message"}};
  for (int k = 0; k < 7; ++k) {
    ui::Label& l = Label1.load(k);
    l.move(8, 10 + 26 * k, 80, 20);
    l.caption = rows[k].second;
    l.transparent = true;
    l.visible = true;
    rows[k].first->move(92, 8 + 26 * k, k == 6 ? 340 : k == 0 || k >= 4 ? 180 : 60, 22);
  }
  gg.caption = "523075N0033075W";
  ggrad.text = "100";
  hdg.caption = "045";
  hdgd.text = "30";
  wavfile.text = "RGI$SCHO.WAV";
  bmpfile.text = "RGI$SCHO.BMP";
  Text1.text = "keep straight on";
  for (int k = 0; k < turns; ++k) {
    ui::Image& i = Image1.load(k);
    i.stretch = true;
    i.move(8 + 44 * (k % 7), 196 + 46 * (k / 7), 40, 40);
    i.visible = true;
  }
  Image2.stretch = true;
  Image2.move(300, 8, 96, 96);
  Command1.caption = "-> NEW.RGI";
  Command2.caption = "Cancel";
  Command3.caption = "TEST";
  Command1.move(340, 196, 92, 26);
  Command2.move(340, 228, 92, 26);
  Command3.move(340, 260, 92, 26);
}

namespace {

// A number as a numeric field reads it whole: blanks, a sign, digits with a point, an exponent.
bool isnumber(std::string_view s) {
  const std::string t = text::trim(s);
  std::size_t i = 0, digits = 0;
  auto run = [&] {
    std::size_t n = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++n;
    return n;
  };
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  digits = run();
  if (i < t.size() && t[i] == '.') ++i, digits += run();
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (run() == 0) return false;
  }
  return i == t.size();
}

// Why the instruction cannot go into NEW.RGI as it stands (empty when it can): the loader
// splits the first line at commas, reads quotes as its own, takes a message of END as the
// end of the file, and needs numbers for the radius, direction and tolerance.
std::string refusal(const RgimanForm& f) {
  const std::pair<const char*, const std::string*> fields[] = {
      {"position", &f.gg.caption}, {"radius", &f.ggrad.text},  {"direction", &f.hdg.caption},
      {"tolerance", &f.hdgd.text}, {"sound", &f.wavfile.text}, {"sign", &f.bmpfile.text}};
  for (const auto& [name, value] : fields)
    if (value->find_first_of(",\"") != std::string::npos) return std::string("the ") + name + " holds a comma or a quote";
  for (const auto& [name, value] : fields)
    if (value->find_first_of("\r\n") != std::string::npos) return std::string("the ") + name + " runs over two lines";
  if (f.Text1.text.find_first_of("\r\n") != std::string::npos) return "the message runs over two lines";
  for (int k : {1, 2, 3})
    if (!isnumber(*fields[k].second)) return std::string("the ") + fields[k].first + " is not a number";
  if (f.Text1.text == "END") return "a message of END would end the file there";
  return {};
}

void addinstruction(App& app) {
  const RgimanForm& f = app.win.get<RgimanForm>();
  if (const std::string why = refusal(f); !why.empty()) {
    app.sys.wav->beep();
    showmsgsay(app.voice, "Not added to NEW.RGI: " + why);
    return;
  }
  const std::string line = f.gg.caption + "," + f.ggrad.text + "," + f.hdg.caption + "," + f.hdgd.text + "," +
                           f.wavfile.text + "," + f.bmpfile.text;
  std::string error;
  auto out = platform::OutputFile::open(app.files, "NEW.RGI", platform::OutputFile::Mode::Append, &error);
  if (!out || !out->print(line) || !out->print(f.Text1.text) || !out->close(&error))
    showmsgsay(app.voice, "NEW.RGI cannot be written: " + error);
  app.sys.wav->beep();
}

void chooseturn(App& app, int index) {
  RgimanForm& f = app.win.get<RgimanForm>();
  const std::string name = std::string("RGI$") + turntype(index);
  f.bmpfile.text = name;
  f.wavfile.text = name + ".WAV";
  f.Image2.setpicture(f.Image1[index].picture);
  if (app.files.exists(name + ".TXT")) f.Text1.text = app.files.readfirstline(name + ".TXT");
  f.touch();
}

}  // namespace

void showrgiman(App& app) {
  RgimanForm& f = app.win.get<RgimanForm>();
  if (!f.pictured) {  // first use: the turn pictures and the sign the design shows
    f.pictured = true;
    for (int k = 0; k < RgimanForm::turns; ++k)
      f.Image1[k].setpicture(loadpicture(app.files, *app.sys.images, std::string("RGI$") + turntype(k) + ".BMP"));
    f.Image2.setpicture(loadpicture(app.files, *app.sys.images, "RGI$SCHO.BMP"));
  }
  f.Command1.onClick = [&app] { addinstruction(app); };
  auto cancel = [&app] {
    app.win.get<RgimanForm>().hide();
    app.nav.rgimanon = 0;
  };
  f.Command2.onClick = cancel;
  f.onClose = cancel;  // the close box is Cancel: map clicks stop filling the editor
  f.Command3.onClick = [&app] {
    drawsign(app.win.get<RgiForm>(), app.files, *app.sys.images, text::ucase(app.win.get<RgimanForm>().bmpfile.text));
    app.nav.rgishown = app.timer();
  };
  for (int k = 0; k < RgimanForm::turns; ++k) f.Image1[k].onClick = [&app, k] { chooseturn(app, k); };
  app.nav.rgimanon = 1;
  f.show();
}

void rgimanclick(RgimanForm& f, GeoState& geo, int button, float x, float y) {
  if (button == ui::button_left) {
    std::string pos;
    gridreftext(geo, x, y, pos);
    f.gg.set(pos);
    return;
  }
  float gx = 0, gy = 0, dist = 0;
  parsepos(geo, f.gg.caption, gx, gy);
  int brg = text::int16(text::val(f.hdg.caption));  // kept when the click is on the position itself
  distbearing(geo, gx, gy, x, y, dist, brg);
  if (brg < 0) brg += 360;
  f.hdg.set(std::to_string(brg));
}

}  // namespace zarn
