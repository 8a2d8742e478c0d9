// Pictures, message boxes, the event pump and text metrics on Qt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "platform/qt/qtservices.h"
#include "platform/qt_support.h"

namespace zarn::qt {
namespace {

using qttest::qpath;
using qttest::ScratchDir;

QByteArray icobytes(const QImage& img) {
  QByteArray b;
  QBuffer buf(&b);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "ICO");
  return b;
}

// One icon file holding the images of several single-image icon files.
QByteArray joinicons(const std::vector<QByteArray>& icons) {
  auto le16 = [](QByteArray& b, int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
  auto le32 = [&](QByteArray& b, int v) { le16(b, v & 0xFFFF); le16(b, (v >> 16) & 0xFFFF); };
  QByteArray out;
  le16(out, 0);
  le16(out, 1);
  le16(out, static_cast<int>(icons.size()));
  int offset = 6 + 16 * static_cast<int>(icons.size());
  QByteArray data;
  for (const QByteArray& ico : icons) {
    QByteArray entry = ico.mid(6, 16);
    const int size = static_cast<unsigned char>(ico[14]) | static_cast<unsigned char>(ico[15]) << 8 |
                     static_cast<unsigned char>(ico[16]) << 16;
    const int from = static_cast<unsigned char>(ico[18]) | static_cast<unsigned char>(ico[19]) << 8;
    entry.truncate(12);
    le32(entry, offset);
    out.append(entry);
    data.append(ico.mid(from, size));
    offset += size;
  }
  return out + data;
}

void write(const std::filesystem::path& p, const QByteArray& b) {
  std::ofstream(p, std::ios::binary).write(b.constData(), b.size());
}

TEST(QtImageStore, ReadsBmpAndIcoAndRefusesWhatIsNotAPicture) {
  ScratchDir dir;
  QtImageStore store;
  QImage bmp(7, 5, QImage::Format_RGB888);
  bmp.fill(QColor(10, 20, 30));
  bmp.setPixelColor(6, 4, QColor(200, 100, 50));
  ASSERT_TRUE(bmp.save(qpath(dir / "T.BMP"), "BMP"));
  auto pic = store.load(dir / "T.BMP");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->width, 7);
  EXPECT_EQ(pic->height, 5);
  EXPECT_EQ(pic->path, (dir / "T.BMP").string());
  const auto* q = dynamic_cast<const QtPicture*>(pic.get());
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->image.pixelColor(6, 4), QColor(200, 100, 50)) << "bottom-right pixel, rows the right way up";

  QImage small(16, 16, QImage::Format_ARGB32), big(32, 32, QImage::Format_ARGB32);
  small.fill(Qt::red);
  big.fill(Qt::blue);
  write(dir / "TWO.ICO", joinicons({icobytes(small), icobytes(big)}));
  pic = store.load(dir / "TWO.ICO");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->width, 32) << "the 32 x 32 image of an icon with several";
  EXPECT_EQ(dynamic_cast<const QtPicture&>(*pic).image.pixelColor(5, 5), QColor(Qt::blue));
  write(dir / "ONE.ICO", icobytes(small));
  pic = store.load(dir / "ONE.ICO");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->width, 16) << "an icon without a 32 x 32 image keeps its own size";

  // An 8-bit run-length coded bitmap, as older map pictures were saved: 4 x 2 pixels,
  // palette 0 black, 1 white; rows bottom-up: [1 1 0 0] then [0 0 1 1].
  const unsigned char rle[] = {
      'B', 'M', 74, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,       // file header, data at 62
      40, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0,     // info header: 4 x 2, 8 bits
      1, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,     // BI_RLE8, 12 bytes of data
      2, 0, 0, 0, 2, 0, 0, 0,                              // two colours
      0, 0, 0, 0, 255, 255, 255, 0,                        // palette
      2, 1, 2, 0, 0, 0, 2, 0, 2, 1, 0, 1};                 // runs, end of line, end of picture
  write(dir / "RLE.BMP", QByteArray(reinterpret_cast<const char*>(rle), sizeof rle));
  pic = store.load(dir / "RLE.BMP");
  ASSERT_NE(pic, nullptr) << "RLE8 bitmap";
  const QImage& r = dynamic_cast<const QtPicture&>(*pic).image;
  EXPECT_EQ(r.pixelColor(0, 1), QColor(Qt::white)) << "first stored row is the bottom one";
  EXPECT_EQ(r.pixelColor(3, 1), QColor(Qt::black));
  EXPECT_EQ(r.pixelColor(3, 0), QColor(Qt::white));

  EXPECT_EQ(store.load(dir / "MISSING.BMP"), nullptr);
  std::ofstream(dir / "TEXT.BMP") << "not a picture\r\n";
  EXPECT_EQ(store.load(dir / "TEXT.BMP"), nullptr);
  write(dir / "CUT.BMP", QByteArray(reinterpret_cast<const char*>(rle), 30));
  EXPECT_EQ(store.load(dir / "CUT.BMP"), nullptr) << "a file cut short";
}

// Answers the next message box by pressing one of its buttons, and records what it showed.
struct BoxSeen {
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton def = QMessageBox::NoButton;
};
void answer(QMessageBox::StandardButton press, BoxSeen* seen, int tries = 200) {
  QTimer::singleShot(10, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      if (tries > 0) answer(press, seen, tries - 1);
      return;
    }
    seen->text = box->text();
    seen->title = box->windowTitle();
    seen->icon = box->icon();
    for (QAbstractButton* b : box->buttons()) seen->buttons.push_back(box->standardButton(b));
    std::sort(seen->buttons.begin(), seen->buttons.end());
    seen->def = box->standardButton(box->defaultButton());
    if (QAbstractButton* b = box->button(press))
      b->click();
    else
      box->reject();
  });
}

TEST(QtDialogs, MessageBoxesAnswerWithTheOldCodes) {
  namespace mb = platform::mb;
  QtDialogs d;
  BoxSeen seen;
  answer(QMessageBox::No, &seen);
  EXPECT_EQ(d.msgbox("Exit ZARN ?", mb::yesnocancel | mb::question, "ZARN"), mb::idno);
  EXPECT_EQ(seen.text, "Exit ZARN ?");
  EXPECT_EQ(seen.title, "ZARN");
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons, (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}));
  EXPECT_EQ(seen.def, QMessageBox::Yes);

  seen = {};
  answer(QMessageBox::Yes, &seen);
  EXPECT_EQ(d.msgbox("Go on?", mb::yesno | 256, "ZARN"), mb::idyes);
  EXPECT_EQ(seen.def, QMessageBox::No) << "256: the second button is the default";

  seen = {};
  answer(QMessageBox::Cancel, &seen);
  EXPECT_EQ(d.msgbox("x", mb::yesnocancel, "ZARN"), mb::idcancel);

  seen = {};
  answer(QMessageBox::Ok, &seen);
  EXPECT_EQ(d.msgbox("Map file missing\r\nZARN01.BMP", mb::information, "ZARN"), mb::idok);
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.text, "Map file missing\nZARN01.BMP") << "CR LF shown as one line break";

  seen = {};
  answer(QMessageBox::NoButton, &seen);  // closed without a button
  EXPECT_EQ(d.msgbox("<b>not markup</b>", mb::ok | mb::exclamation, ""), mb::idok);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.text, "<b>not markup</b>");
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

TEST(QtMetrics, MeasureWithThePointSize) {
  const ui::TextMetrics m = qtmetrics();
  const ui::Font small{8.25, false}, big{12, false}, bold{12, true};
  EXPECT_GT(m.width("W", small), 0);
  EXPECT_GT(m.width("WWWW", small), 3 * m.width("W", small));
  EXPECT_GT(m.width("Exit ZARN ?", big), m.width("Exit ZARN ?", small));
  EXPECT_GE(m.width("Exit ZARN ?", bold), m.width("Exit ZARN ?", big));
  EXPECT_EQ(m.width("", big), 0);
  EXPECT_GT(m.height(big), m.height(small));
  EXPECT_GE(m.height(small), 11) << "8.25 pt is 11 pixels at 96 dpi";

  // An auto-sized label takes its size from these metrics.
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
