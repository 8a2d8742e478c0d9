// Pictures, message boxes, the event pump and text metrics on Qt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/qtservices.h"
#include "platform/qt_support.h"
#include "support/tempdir.h"

namespace zarn::qt {
namespace {

std::string icobytes(const QImage& img) {
  QByteArray b;
  QBuffer buf(&b);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "ICO");
  return b.toStdString();
}

// One icon file holding the images of two single-image icon files.
std::string joinicons(const std::string& a, const std::string& b) {
  auto u32 = [](const std::string& s, int at) {
    return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
           static_cast<unsigned char>(s[at + 2]) << 16;
  };
  auto le32 = [](unsigned v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string head("\0\0\1\0\2\0", 6), data;
  for (const std::string* ico : {&a, &b}) {
    head += ico->substr(6, 12) + le32(static_cast<unsigned>(6 + 32 + data.size()));
    data += ico->substr(u32(*ico, 18), u32(*ico, 14));
  }
  return head + data;
}

QColor pixel(const ui::PictureRef& p, int x, int y) {
  return dynamic_cast<const QtPicture&>(*p).image.pixelColor(x, y);
}

TEST(QtImageStore, ReadsBmpAndIcoAndRefusesWhatIsNotAPicture) {
  zarn::testing::TempDir dir;
  QtImageStore store;
  QImage bmp(7, 5, QImage::Format_RGB888);
  bmp.fill(QColor(10, 20, 30));
  bmp.setPixelColor(6, 4, QColor(200, 100, 50));
  ASSERT_TRUE(bmp.save(qttest::qpath(dir / "T.BMP"), "BMP"));
  auto pic = store.load(dir / "T.BMP");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->path, (dir / "T.BMP").string());
  EXPECT_EQ(pixel(pic, 6, 4), QColor(200, 100, 50)) << "bottom-right pixel, rows the right way up";

  QImage small(16, 16, QImage::Format_ARGB32), big(32, 32, QImage::Format_ARGB32);
  small.fill(Qt::red);
  big.fill(Qt::blue);
  pic = store.load(dir.put("TWO.ICO", joinicons(icobytes(small), icobytes(big))));
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->width, 32) << "the 32 x 32 image of an icon with several";
  EXPECT_EQ(pixel(pic, 5, 5), QColor(Qt::blue));

  // An 8-bit run-length coded bitmap, as older map pictures were saved: 4 x 2 pixels,
  // palette 0 black, 1 white; rows bottom-up: [1 1 0 0] then [0 0 1 1].
  const unsigned char rle[] = {
      'B', 'M', 74, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,    // file header, data at 62
      40, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0,  // info header: 4 x 2, 8 bits
      1, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // BI_RLE8, 12 bytes of data
      2, 0, 0, 0, 2, 0, 0, 0,                           // two colours
      0, 0, 0, 0, 255, 255, 255, 0,                     // palette
      2, 1, 2, 0, 0, 0, 2, 0, 2, 1, 0, 1};              // runs, end of line, end of picture
  const std::string rlebytes(reinterpret_cast<const char*>(rle), sizeof rle);
  pic = store.load(dir.put("RLE.BMP", rlebytes));
  ASSERT_NE(pic, nullptr) << "RLE8 bitmap";
  EXPECT_EQ(pixel(pic, 0, 1), QColor(Qt::white)) << "first stored row is the bottom one";
  EXPECT_EQ(pixel(pic, 3, 1), QColor(Qt::black));
  EXPECT_EQ(pixel(pic, 3, 0), QColor(Qt::white));

  EXPECT_EQ(store.load(dir / "MISSING.BMP"), nullptr);
  EXPECT_EQ(store.load(dir.put("TEXT.BMP", "not a picture\r\n")), nullptr);
  EXPECT_EQ(store.load(dir.put("CUT.BMP", rlebytes.substr(0, 30))), nullptr) << "a file cut short";
}

// Presses one button of the next message box and describes what it showed.
void answer(QMessageBox::StandardButton press, QString* seen, int tries = 200) {
  QTimer::singleShot(10, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      if (tries > 0) answer(press, seen, tries - 1);
      return;
    }
    *seen = box->windowTitle() + "|" + box->text() + "|" + QString::number(box->icon()) + "|";
    for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
      if (QAbstractButton* x = box->button(b))
        *seen += QString::number(b, 16) + (box->defaultButton() == x ? "* " : " ");
    if (QAbstractButton* b = box->button(press))
      b->click();
    else
      box->reject();
  });
}

TEST(QtDialogs, MessageBoxesAnswerWithTheOldCodes) {
  namespace mb = platform::mb;
  // seen: title|text|icon|buttons in hex, * the default
  const struct { const char* guards; std::string prompt, title; int buttons, press, answer; QString seen; } cases[] = {
      {"question with three buttons, the first the default", "Exit ZARN ?", "ZARN", mb::yesnocancel | mb::question,
       QMessageBox::No, mb::idno, "ZARN|Exit ZARN ?|4|4000* 10000 400000 "},
      {"256: the second button is the default", "Go on?", "ZARN", mb::yesno | 256, QMessageBox::Yes, mb::idyes,
       "ZARN|Go on?|0|4000 10000* "},
      {"cancel", "x", "ZARN", mb::yesnocancel, QMessageBox::Cancel, mb::idcancel, "ZARN|x|0|4000* 10000 400000 "},
      {"CR LF shown as one line break", "Map file missing\r\nZARN01.BMP", "ZARN", mb::information, QMessageBox::Ok,
       mb::idok, "ZARN|Map file missing\nZARN01.BMP|1|400* "},
      {"closed without a button is OK; text is not markup; no title", "<b>not markup</b>", "", mb::ok | mb::exclamation,
       QMessageBox::NoButton, mb::idok, QApplication::applicationDisplayName() + "|<b>not markup</b>|2|400* "},
  };
  QtDialogs d;
  for (const auto& c : cases) {
    QString seen;
    answer(static_cast<QMessageBox::StandardButton>(c.press), &seen);
    EXPECT_EQ(d.msgbox(c.prompt, c.buttons, c.title), c.answer) << c.guards;
    EXPECT_EQ(seen, c.seen) << c.guards;
  }
}

TEST(QtEventPump, RunsItsHookAndPendingEvents) {
  QtEventPump pump;
  int hooks = 0;
  bool ran = false;
  pump.onevents = [&] { ++hooks; };
  QTimer::singleShot(0, [&] { ran = true; });
  for (int i = 0; i < 50 && !ran; ++i) {
    pump.doevents();
    pump.idle();
  }
  EXPECT_TRUE(ran) << "a zero timer fires while the pump runs";
  EXPECT_GE(hooks, 1);
}

TEST(QtMetrics, MeasureWithThePointSizeAndSizeAutoSizedLabels) {
  const ui::TextMetrics m = qtmetrics();
  const ui::Font small{8.25, false}, big{12, false}, bold{12, true};
  EXPECT_GT(m.width("Exit ZARN ?", big), m.width("Exit ZARN ?", small));
  EXPECT_GE(m.width("Exit ZARN ?", bold), m.width("Exit ZARN ?", big));
  EXPECT_GE(m.height(small), 11) << "8.25 pt is 11 pixels at 96 dpi";

  struct L : ui::Form {
    L() : ui::Form("l") { add(lab, "lab"); }
    ui::Label lab;
  } form;
  form.metrics = &m;
  form.lab.autosize = true;
  form.lab.font = big;
  form.lab.set("Nantwich \xA3");
  EXPECT_EQ(form.lab.width, m.width("Nantwich \xA3", big));
  EXPECT_EQ(form.lab.height, m.height(big));
}

}  // namespace
}  // namespace zarn::qt
