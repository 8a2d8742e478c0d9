// Road signs drawn from their scripts, and the guidance editor writing NEW.RGI for the loader.
#include <cstdio>
#include <utility>

#include "navigation/rgifiles.h"
#include "navigation/rgiform.h"
#include "navigation/rgiman.h"
#include "navigation/signs.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

// The sign's drawing in pixels of the 200 x 200 picture: "clear|L x1,y1 x2,y2 wWIDTH cCOLOUR" ...
std::string drawn(const ui::DrawSurface& s) {
  std::string out;
  for (const auto& o : s.ops()) {
    char b[200];
    std::snprintf(b, sizeof b, "|%c %g,%g %g,%g w%d c%x%s", "cLBFCPT"[o.type], o.x1, o.y1, o.x2, o.y2, o.width,
                  o.colour, o.text.c_str());
    out += o.type == ui::DrawOp::Clear ? "clear" : b;
  }
  return out;
}

TEST_F(AppTest, SignScriptsDrawInTheirSquareAndEndAtTheFilesEnd) {
  const std::string c36(36, 'c'), c37(37, 'c'), diagonal = "clear|L 0,200 200,0 w20 c0";
  const struct { const char* guards; std::string file, name, ops, caption; double size; } cases[] = {
      {"L counts y from the bottom: a diagonal from bottom left to top right", "DIAG,D\r\nL,0,0,100,100\r\nEND\r\n",
       "diag", diagonal, "D", 24},
      {"M counts y from the top, T writes there; C's radius is of the width", "MT,x,M,10,10,T,\"Hi, you\",C,50,25,10,END",
       "MT", "clear|T 20,20 0,0 w20 c0Hi, you|C 100,150 20,20 w20 c0", "x", 24},
      {"W 10 is the start width; W and COL round halves to even; COL is held to 255",
       "W,x,COL,0.4,127.5,300,W,10,L,0,50,100,50,W,1.25,L,0,0,1,1", "W",
       "clear|L 0,100 200,100 w20 cff8000|L 0,200 2,198 w2 cff8000", "x", 24},
      {"a 36-character caption in size 24", "A," + c36 + ",END", "A", "clear", c36, 24},
      {"a 37-character caption in size 18", "A," + c37 + ",END", "A", "clear", c37, 18},
      {"a lower-case name in the file, an upper-case call", "rgi$tl,left,END,FINISH", "RGI$TL", "clear", "left", 24},
      {"an upper-case name in the file, a lower-case call", "RGI$TR,right,END,FINISH", "rgi$tr", "clear", "right", 24},
      {"FINISH before the name: an empty picture", "A,a,L,0,0,1,1,END,FINISH,B,b,END", "B", "clear", "old", 24},
      {"an unknown word, then its arguments, skipped a field at a time", "U,x,ARC,50,50,L,0,0,100,100,END", "U",
       diagonal, "x", 24},
      {"a sign running off the end of the file ends there", "R,x\r\nL,0,0,100,100\r\nL,0,0", "R", diagonal, "x", 24},
      {"a name missing from a file without FINISH: the search ends at its end", "A,x,END", "ZZ", "clear", "old", 24},
  };
  RgiForm& rgi = app->win.get<RgiForm>();
  for (const auto& c : cases) {
    put("ZARNSIGN.TXT", c.file);
    rgi.rgitxt.caption = "old";
    rgi.visible = false;
    drawsign(app->win.get<RgiForm>(), app->files, *app->sys.images, c.name);
    EXPECT_EQ(std::tuple(drawn(rgi.bmp.surface), rgi.rgitxt.caption, rgi.rgitxt.font.size, rgi.visible),
              std::tuple(c.ops, c.caption, c.size, true))
        << c.guards;
  }
  // A picture file is shown as it is; a ".BMP" name without its file is a script's name.
  copydemo();
  drawsign(app->win.get<RgiForm>(), app->files, *app->sys.images, "rgi$scho.bmp");
  EXPECT_EQ(std::tuple(rgi.bmp.picture ? rgi.bmp.picture->width : 0, rgi.rgitxt.caption), std::tuple(64, "old"));
  put("ZARNSIGN.TXT", "GONE.BMP,Not a picture,L,0,0,100,100,END,FINISH");
  drawsign(app->win.get<RgiForm>(), app->files, *app->sys.images, "gone.bmp");
  EXPECT_EQ(std::tuple(rgi.bmp.picture, drawn(rgi.bmp.surface), rgi.rgitxt.caption),
            std::tuple(nullptr, diagonal, "Not a picture"));
  std::filesystem::remove(dir / "ZARNSIGN.TXT");
  drawsign(app->win.get<RgiForm>(), app->files, *app->sys.images, "rgi$tl");
  EXPECT_EQ(drawn(rgi.bmp.surface), diagonal) << "no sign file: nothing cleared";
}

class Editor : public AppTest {
 protected:
  void ready() override {
    copydemo();
    squares({{"SJ", 300, 300}});
    showrgiman(*app);
  }
  RgimanForm& form() { return app->win.get<RgimanForm>(); }
};

TEST_F(Editor, AnInstructionMadeByClicksIsReadBackByTheLoaderAndTheCloseBoxIsCancel) {
  const struct { int button; float x; const char* hdg; } clicks[] = {
      {ui::button_left, 375.128f, "045"}, {ui::button_right, 375.5f, "90"}, {ui::button_middle, 375.0f, "270"}};
  for (const auto& c : clicks) {
    rgimanclick(app->win.get<RgimanForm>(), app->geo, c.button, c.x, 378.48f);
    EXPECT_EQ(std::tuple(form().gg.caption, form().hdg.caption), std::tuple("SJ 75128 78480", c.hdg)) << c.button;
  }
  form().Image1[7].onClick();
  ASSERT_TRUE(form().Image1[7].picture) << "the turn pictures are read on opening";
  EXPECT_EQ(std::tuple(form().bmpfile.text, form().wavfile.text, form().Text1.text, form().Image2.picture),
            std::tuple("RGI$TR", "RGI$TR.WAV", "turn right", form().Image1[7].picture));
  form().ggrad.text = "80";
  form().Text1.text = "turn right, then \"first\" left";
  form().Command1.onClick();
  form().Command1.onClick();
  auto in = platform::InputFile::open(app->files, "NEW.RGI");
  int n = 0;
  for (RgiRecord r; in && readrgirecord(*in, r); ++n)
    EXPECT_EQ(std::tuple(r.pos, r.radius, r.dir, r.tol, r.wav, r.sign, r.msg),
              std::tuple("SJ 75128 78480", 80.0f, 270, 30, "RGI$TR.WAV", "RGI$TR", form().Text1.text));
  EXPECT_EQ(std::tuple(n, wav->beeps), std::tuple(2, 2)) << get("NEW.RGI");
  // TEST shows the sign; the close box, like Cancel, stops the map clicks filling the editor.
  clock->advance(30);
  form().Command3.onClick();
  EXPECT_EQ(std::tuple(app->win.get<RgiForm>().visible, app->nav.rgishown, app->nav.rgimanon), std::tuple(true, app->timer(), 1));
  form().hide();
  form().onClose();
  EXPECT_EQ(app->nav.rgimanon, 0);
}

TEST_F(Editor, RefusalsLeaveNewRgiAsItWasAndSayWhy) {
  form().Command1.onClick();
  const std::string before = get("NEW.RGI");
  ASSERT_EQ(before, "523075N0033075W,100,045,30,RGI$SCHO.WAV,RGI$SCHO.BMP\r\nkeep straight on\r\n");
  std::string* fields[] = {&form().wavfile.text, &form().bmpfile.text, &form().ggrad.text,
                           &form().hdgd.text,    &form().hdg.caption,  &form().Text1.text};
  // Each row spoils the field of the same place in `fields`.
  const struct { const char* value; const char* why; } cases[] = {
      {"A,B.WAV", "the sound holds a comma or a quote"}, {"\"X", "the sign holds a comma or a quote"},
      {"100m", "the radius is not a number"},          {"", "the tolerance is not a number"},
      {"east", "the direction is not a number"},       {"END", "a message of END would end the file there"}};
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    const std::string keep = std::exchange(*fields[k], cases[k].value);
    form().Command1.onClick();
    *fields[k] = keep;
    EXPECT_EQ(std::tuple(get("NEW.RGI"), app->speech.msgtext, wav->beeps),
              std::tuple(before, std::string("Not added to NEW.RGI: ") + cases[k].why, 2 + static_cast<int>(k)));
  }
}

}  // namespace
}  // namespace zarn::test
