// The window of one form: paints the form from its model, keeps real widgets for the
// interactive controls, and turns user input into the model's handlers.
#pragma once

#include <QPointer>
#include <QWidget>

class QMimeData;
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/qtpaint.h"
#include "platform/ui.h"

namespace zarn::qt {

class QtUi;

class FormView final : public QWidget {
  Q_OBJECT

 public:
  FormView(ui::Form& form, QtUi& owner);
  ~FormView() override;

  ui::Form& form() const { return form_; }
  // Brings the window and its widgets in line with the model, and schedules a repaint when
  // what is painted has changed. Shown now while another window takes the keys (quiet), the
  // window appears without taking them.
  void sync(bool quiet = false);
  // Whether the next sync gives this window the keys (it asks for them and may take them).
  bool takeskeys() const;
  // The form as it would be shown now (widgets included).
  QImage snapshot();
  // The widget standing for an interactive control, or null.
  QWidget* widget(const ui::Control& c) const;
  long paints() const { return paints_; }
  long layerreplays() const { return formlayer_.replays(); }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  using MouseHandler = std::function<void(const ui::MouseEvent&)>;
  // A widget and the model values it was last given, so that only changes are pushed.
  struct Child {
    QPointer<QWidget> w;
    ui::Kind kind = ui::Kind::Button;
    bool multiline = false;
    std::string text;
    std::vector<std::string> items;
    int value = -2;  // list index or check value
    ui::Font font{-1, false};
    ui::Colour fore = 0xFFFFFFFF, back = 0xFFFFFFFF;
  };

  // Shows the window, owned by the main window when it is kept on top; taking the keys or not.
  void showwindow(bool activate);
  // Takes the keys (activateWindow), from a window of ours kept on top of it too.
  void activate();
  void clicked();
  void syncwindow(bool quiet);
  void syncwidgets();
  QWidget* makewidget(ui::Control& c);
  void updatewidget(ui::Control& c, Child& ch);
  void paintform(QPainter& p);
  const QImage* stretched(const ui::Image& c);

  bool alive(const ui::Control* c) const;
  ui::Control* pick(QPointF pt) const;
  void mouse(MouseHandler ui::Control::*ch, MouseHandler ui::Form::*fh, ui::Control* target, int button,
             int shift, QPointF pt);
  void click(ui::Control* target, bool dbl);
  void done();
  void syncpointer();
  // Keeps the form's boxfocus as the keys come into or leave one of its entry boxes.
  void noteboxfocus(QObject* watched, bool in, Qt::FocusReason why);
  // Drags a control with the toolkit's drag and drop, from the point where it was pressed.
  void startdrag(ui::Control& c, QPointF from);
  // The control a drag carries (of any of our windows), or null when it is not ours or gone.
  ui::Control* dragged(const QMimeData* data) const;

  ui::Form& form_;
  QtUi& owner_;

  // Window state last applied.
  bool created_ = false;
  Qt::WindowFlags flags_;
  bool modal_ = false;
  long focusrequest_ = 0;
  std::string caption_;
  std::deque<QPoint> moves_;  // positions asked for lately: their echoes are not user moves
  QPoint pos_{-1000000, -1000000};
  WId colormapped_ = 0;  // the native window last given the screen's default colormap

  // Painting.
  std::uint64_t print_ = 0;
  bool printed_ = false;
  std::vector<ui::PictureRef> pictures_;  // held so that a new picture never reuses an address
  SurfaceLayer formlayer_{false};
  std::map<const ui::Control*, SurfaceLayer> boxlayers_;
  struct Scaled {
    ui::PictureRef pic;
    QImage image;
    bool used = false;
  };
  std::map<const ui::Control*, Scaled> scaled_;
  long paints_ = 0;

  // Widgets.
  std::map<ui::Control*, Child> children_;
  std::vector<ui::Control*> zorder_;

  // Mouse: the control (null: the form) that took the button going down keeps the pointer
  // until every button is up again.
  ui::Control* target_ = nullptr;
  int held_ = 0;
  bool dblclick_ = false;
  QPointF pressed_;       // where the buttons went down
  bool dragging_ = false; // a drag has ended the press: its release is no click
  ui::Form::Pointer pointer_ = ui::Form::Pointer::arrow;
  // The entry box the user put the keys into (a click, Tab, or typing in it); a box the window
  // gave them to as it was shown is not one.
  QPointer<QWidget> userbox_;
  // The window of ours that had the keys when this one took them: they go back to it when this
  // window is put away with them.
  QPointer<FormView> camefrom_;
  // Shown without taking the keys, until it is first activated or clicked; and when it was
  // first drawn since.
  bool quiet_ = false;
  std::optional<std::chrono::steady_clock::time_point> quietsince_;
  // When it last gave back keys handed to it so.
  std::optional<std::chrono::steady_clock::time_point> gaveback_;
  // Pressed since it last took the keys: a window manager that gives the keys with a click may
  // not have given them yet.
  bool keyspending_ = false;
};

}  // namespace zarn::qt
