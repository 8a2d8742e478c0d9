// Names read from data files never lead the program to look outside its working folder: every
// file that names other files names ones above it and absolute ones, and start-up and the
// readers of those files run without a single lookup outside.
#include <fstream>

#include "mainwindow/iconpanel.h"
#include "mainwindow/language.h"
#include "mainwindow/ldriver.h"
#include "mainwindow/placekeys.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/startup.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/symbols.h"
#include "navigation/rgiform.h"
#include "navigation/signs.h"
#include "support/app_fixture.h"
#include "vehicles/alerts.h"

namespace zarn::test {
namespace {

class Confined : public AppTest {
 protected:
  void add(const std::string& name, const std::string& lines) const {
    std::ofstream(dir / name, std::ios::binary | std::ios::app) << lines;
  }
};

TEST_F(Confined, NamesFromFilesAreJudgedBeforeAnyLookup) {
  copydemo();
  int demowps = 0;
  for (std::size_t at = 0; (at = get("ZARN.PIC").find("\nP,", at)) != std::string::npos; ++at) ++demowps;
  const std::string up = "../../../../etc/passwd", abs = "/etc/passwd";
  put("CONTROLS.CFG", "Z," + up + ",x,up\r\nY," + abs + "," + up + ".wav,abs\r\nX,..\\..\\..\\etc\\hosts,x,back\r\nEND,,,end\r\n");
  put("ZARN.PIC", get("ZARN.PIC").substr(0, get("ZARN.PIC").find("END")) + "I," + up + "\r\nP,SJ 75000 80000\r\nI," +
                      abs + "\r\nP,SJ 75100 80000\r\nI,WP.ICO\r\nP,SJ 75200 80000\r\nEND\r\n");
  put("LANGUAGE.CFG", "0\r\n\"English\",0,\"\"\r\n\"Up\",1,\"../../../../etc/\"\r\n\"Abs\",2,\"/etc/\"\r\n\"END\"\r\n");
  put("ZARN.LDR", "3\r\n" + up + ".BMP,Up,up\r\n" + abs + ".BMP,Abs,abs\r\nLESSON00.BMP,Mirrors,checked\r\n");
  put("ZARNKEYS.CFG", "3\r\n0," + up + ".BMP,Up\r\n1," + abs + ".BMP,Abs\r\n2,KEYPAD02.BMP,Sleep\r\n");
  put("ZARN.MOR", ",NULL,\"Up\"," + up + ".BMP," + up + ".RGI\r\n,NULL,\"Abs\"," + abs + ".BMP," + abs + ".RGI\r\n");
  add("MAPS.DIR", up + "\r\n" + abs + "\r\n");
  put("CHASE.CFG", "P,Red," + up + ".wav," + up + ".ico\r\n");
  put("CMESSAGE.CFG", "A1,Hello," + abs + ",x\r\n");

  Form_Load(*app, "");
  EXPECT_EQ(app->files.outsidelookups(), 0u) << "start-up";

  showcontrols(controlswindow(*app), app->main, app->win.zarn);
  for (int i = 0; i < 4; ++i) controls::connext_Click(*app);
  controls::constart_Click(*app);
  for (int i = 0; i < 3; ++i) nextlanguage(*app);
  readpicfile(*app);
  ldriver(*app);
  for (const std::string& sign : {up + ".BMP", abs + ".BMP"}) drawsign(app->win.get<RgiForm>(), app->files, *app->sys.images, sign);
  morekey(*app);
  placesymbol(*app, "/../../../../etc/passwd", 300, 300, 300, 300);  // a place code from a place file
  std::string text, icon, extra;
  cmessage(app->files, "A1", text, icon, extra);
  EXPECT_EQ(icon, "NULL") << "a vehicle's icon outside the folder is no icon";
  EXPECT_EQ(app->files.outsidelookups(), 0u) << "the icon panel, languages, waypoints, lessons, signs, place symbols, vehicle icons";
  EXPECT_EQ(app->nav.wpcount, demowps + 1) << "of the new waypoints, only the one with an icon of the folder";

  app->files.exists(up);  // the counter does count
  EXPECT_EQ(app->files.outsidelookups(), 1u);
}

}  // namespace
}  // namespace zarn::test
