#include "platform/qt/formview.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <utility>

#include "platform/qt/qtconvert.h"
#include "platform/qt/qtkeys.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/x11window.h"
#include "platform/qt/qtui.h"

namespace zarn::qt {

namespace {
bool hasmousehandler(const ui::Control& c) {
  return c.onClick || c.onDblClick || c.onMouseDown || c.onMouseMove || c.onMouseUp || c.dragmode;
}

// Multi-line text boxes hold CR LF line ends in the model.
QString tomultiline(const std::string& s) {
  QString q = qstr(s);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return q;
}
std::string frommultiline(const QString& q) {
  std::string s;
  for (char c : latin1(q)) {
    if (c == '\n') s += '\r';
    s += c;
  }
  return s;
}

const ui::Font* fontof(const ui::Control& c) {
  switch (c.kind) {
    case ui::Kind::Button: return &static_cast<const ui::Button&>(c).font;
    case ui::Kind::TextBox: return &static_cast<const ui::TextBox&>(c).font;
    case ui::Kind::ListBox: return &static_cast<const ui::ListBox&>(c).font;
    case ui::Kind::CheckBox: return &static_cast<const ui::CheckBox&>(c).font;
    default: return nullptr;
  }
}
}  // namespace

FormView::FormView(ui::Form& form, QtUi& owner) : QWidget(nullptr), form_(form), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted from the model
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // moves without a button feed the pointer read-outs
  setWindowRole(qstr(form_.name()));  // tells the windows apart for the desktop (WM_WINDOW_ROLE)
  setAcceptDrops(true);  // controls dragged from any of our windows
}

FormView::~FormView() = default;

// --- keeping in step with the model ---

void FormView::sync(bool quiet) {
  syncwindow(quiet);
  syncpointer();
  syncwidgets();
  const std::uint64_t fp = fingerprint(form_);
  if (!printed_ || fp != print_) {
    print_ = fp;
    printed_ = true;
    update();
  }
  // Hold the pictures on show until the next sync, so that a picture made meanwhile cannot
  // take the address of one shown now and escape the fingerprint.
  pictures_.clear();
  if (form_.picture) pictures_.push_back(form_.picture);
  for (const ui::Control* c : form_.controls())
    if (c->kind == ui::Kind::Image && c->visible)
      if (const auto& pic = static_cast<const ui::Image*>(c)->picture) pictures_.push_back(pic);
}

bool FormView::takeskeys() const {
  return form_.visible && form_.focusrequest != focusrequest_ && (form_.focusforce || QApplication::activeWindow());
}

void FormView::syncwindow(bool quiet) {
  // A window kept on top is a tool window of the main window, stacked above it (see showwindow).
  Qt::WindowFlags wanted = form_.topmost ? Qt::Tool | Qt::WindowStaysOnTopHint : Qt::Window;
  if (form_.borderless) wanted |= Qt::FramelessWindowHint;
  if (!created_ || wanted != flags_) {
    const bool was = isVisible(), had = isActiveWindow();
    flags_ = wanted;
    setWindowFlags(wanted);  // hides the window
    if (was) showwindow(had);
  }
  if (!created_ || form_.modal != modal_) {
    const bool was = isVisible(), had = isActiveWindow();
    if (was) hide();
    modal_ = form_.modal;
    setWindowModality(modal_ ? Qt::ApplicationModal : Qt::NonModal);
    if (was) showwindow(had);
  }
  if (!created_ || form_.caption != caption_) {
    caption_ = form_.caption;
    setWindowTitle(qstr(caption_));
  }
  const QSize size(std::max(1, form_.width), std::max(1, form_.height));
  if (minimumSize() != size || maximumSize() != size) setFixedSize(size);
  const QPoint pos(form_.left, form_.top);
  if (!created_ || pos != pos_) {
    pos_ = pos;
    moves_.push_back(pos);
    if (moves_.size() > 4) moves_.pop_front();
    move(pos);
  }
  created_ = true;
  if (form_.visible && !isVisible()) {
    showwindow(!quiet);
    raise();
    if (!quiet) activateWindow();
  } else if (!form_.visible && isVisible()) {
    // A click that puts it away (its Cancel) may come before the keys the click gives it.
    const bool had = isActiveWindow() || std::exchange(keyspending_, false);
    hide();
    userbox_ = nullptr;
    form_.boxfocus = false;
    // Put away with the keys: they go back where they were before this window took them (the
    // box being typed in keeps them), not wherever the window system puts them.
    FormView* back = camefrom_ ? camefrom_.data() : owner_.lastactive();
    if (had && back && back != this && back->isVisible() && back->form_.visible) back->activate();
  }
  // The keys back to this window: from another of ours at once, from another program's
  // window only when asked so (at the end of start-up).
  if (form_.focusrequest != focusrequest_) {
    focusrequest_ = form_.focusrequest;
    quiet_ = false;  // asked for: the keys are this window's to keep
    QWidget* active = QApplication::activeWindow();
    if (isVisible() && active != this && (active || form_.focusforce)) {
      // Taking the keys never covers a window kept on top: a click meant for it would land here.
      // They are raised again in the same request as this window, before the activation (which
      // waits on the display), so that no one sees this window above them in between.
      raise();
      if (!form_.topmost) owner_.raisetopmost();
      activate();
    }
    QWidget* focus = QApplication::focusWidget();
    if (isVisible() && focus != this && !isAncestorOf(focus)) setFocus(Qt::OtherFocusReason);
    form_.focusforce = false;
  }
}

void FormView::syncpointer() {
  if (form_.mousepointer == pointer_) return;
  pointer_ = form_.mousepointer;
  if (pointer_ == ui::Form::Pointer::cross)
    setCursor(Qt::CrossCursor);
  else
    unsetCursor();
}

void FormView::activate() {
  activateWindow();
  QWindow* w = windowHandle();
  if (QWindow* keys = QGuiApplication::focusWindow(); w && w->isExposed() && keys && keys != w && w->isAncestorOf(keys))
    focusnow(winId());
}

void FormView::showwindow(bool activate) {
  // Makes the native window, so that it is told how to appear before it is mapped; one made
  // anew (as a change of flags does) is given the default colormap again.
  if (const WId id = winId(); id != colormapped_) {
    usedefaultcolormap(id);
    colormapped_ = id;
  }
  QWindow* w = windowHandle();
  // A window kept on top belongs to the main window as well: window managers stack a main
  // window that fills the screen above every other window while it has the keys, but never
  // above the windows it owns.
  if (QWindow* main = form_.topmost ? owner_.mainwindow() : nullptr; w && main && main != w)
    w->setTransientParent(main);
  quiet_ = !activate;
  quietsince_.reset();
  // Without the keys, the window manager is asked not to hand them over either (Qt gives the
  // window a user time of 0); a window manager that gives every new window the keys would
  // otherwise take them from the one meant to keep them.
  setAttribute(Qt::WA_ShowWithoutActivating, !activate);
  if (w) w->setProperty("_q_showWithoutActivating", activate ? QVariant() : QVariant(true));
  show();
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  if (w) w->setProperty("_q_showWithoutActivating", QVariant());
}

void FormView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  const QSize want(std::max(1, form_.width), std::max(1, form_.height));
  if (!created_ || e->size() == want) return;
  // Resized from outside (a window manager that ignores the fixed size): the window may lay
  // itself out for the new size; otherwise, and whatever it decides, it takes its own size
  // again, so that what is drawn always matches the layout.
  if (auto f = form_.onResize) f(e->size().width(), e->size().height());
  const QSize now(std::max(1, form_.width), std::max(1, form_.height));
  setFixedSize(now);
  resize(now);
  form_.touch();
}

void FormView::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  // While the window manager is still putting a window up, the window may be reported where
  // it was on the way (at 0,0, before its frame was placed): only a window on show is moved.
  const QWindow* w = windowHandle();
  if (!e->spontaneous() || !isVisible() || !w || !w->isExposed()) return;
  const QPoint now = pos();  // the frame's position, as the model keeps it
  if (std::find(moves_.begin(), moves_.end(), now) != moves_.end()) return;  // our own move
  // Moved by the user or the window manager: the model follows.
  form_.left = now.x();
  form_.top = now.y();
  pos_ = now;
}

void FormView::syncwidgets() {
  std::vector<ui::Control*> order;
  for (ui::Control* c : form_.controls()) {
    if (painted(c->kind)) continue;
    order.push_back(c);
    Child& ch = children_[c];
    const bool multiline = c->kind == ui::Kind::TextBox && static_cast<ui::TextBox*>(c)->multiline;
    if (!ch.w || ch.kind != c->kind || ch.multiline != multiline) {
      if (ch.w) {
        ch.w->hide();
        ch.w->deleteLater();  // it may be the sender of the signal being handled
      }
      ch = Child{};
      ch.kind = c->kind;
      ch.multiline = multiline;
      ch.w = makewidget(*c);
    }
    updatewidget(*c, ch);
  }
  // Widgets of controls that have been unloaded.
  const std::set<ui::Control*> present(order.begin(), order.end());
  for (auto it = children_.begin(); it != children_.end();) {
    if (present.count(it->first)) {
      ++it;
      continue;
    }
    if (it->second.w) {
      it->second.w->hide();
      it->second.w->deleteLater();
    }
    it = children_.erase(it);
  }
  if (order != zorder_) {
    for (ui::Control* c : order)
      if (QWidget* w = children_[c].w) w->raise();
    zorder_ = order;
  }
}

QWidget* FormView::makewidget(ui::Control& c) {
  ui::Control* cp = &c;
  // The model's handler, fetched when the signal comes, since the control may have gone.
  auto fire = [this, cp](std::function<void()> ui::Control::*h) {
    if (!alive(cp)) return;
    if (auto f = cp->*h) f();
  };
  QWidget* w = nullptr;
  switch (c.kind) {
    case ui::Kind::Button: {
      auto* b = new QPushButton(this);
      connect(b, &QPushButton::clicked, this, [this, fire] {
        fire(&ui::Control::onClick);
        done();
      });
      w = b;
      break;
    }
    case ui::Kind::TextBox: {
      auto changed = [this, cp](std::string text) {
        if (!alive(cp) || cp->kind != ui::Kind::TextBox) return;
        auto& t = static_cast<ui::TextBox&>(*cp);
        t.text = std::move(text);
        children_[cp].text = t.text;
        if (auto f = t.onChange) f();
        done();
      };
      if (static_cast<ui::TextBox&>(c).multiline) {
        auto* e = new QPlainTextEdit(this);
        // Signals are blocked while the model's text is put in, so this is the user typing.
        connect(e, &QPlainTextEdit::textChanged, this, [e, changed] { changed(frommultiline(e->toPlainText())); });
        e->viewport()->installEventFilter(this);
        w = e;
      } else {
        auto* e = new QLineEdit(this);
        e->setFrame(true);
        connect(e, &QLineEdit::textEdited, this, [changed](const QString& s) { changed(latin1(s)); });
        w = e;
      }
      break;
    }
    case ui::Kind::ListBox: {
      auto* l = new QListWidget(this);
      connect(l, &QListWidget::currentRowChanged, this, [this, cp](int row) {
        if (!alive(cp) || cp->kind != ui::Kind::ListBox) return;
        auto& lb = static_cast<ui::ListBox&>(*cp);
        lb.listindex = row;
        children_[cp].value = row;
        if (auto f = lb.onClick) f();
        done();
      });
      connect(l, &QListWidget::itemDoubleClicked, this, [this, fire] {
        fire(&ui::Control::onDblClick);
        done();
      });
      l->viewport()->installEventFilter(this);
      w = l;
      break;
    }
    case ui::Kind::CheckBox: {
      auto* b = new QCheckBox(this);
      connect(b, &QCheckBox::clicked, this, [this, cp](bool on) {
        if (!alive(cp) || cp->kind != ui::Kind::CheckBox) return;
        auto& cb = static_cast<ui::CheckBox&>(*cp);
        cb.value = on ? 1 : 0;
        children_[cp].value = cb.value;
        if (auto f = cb.onClick) f();
        done();
      });
      w = b;
      break;
    }
    default: return nullptr;
  }
  w->installEventFilter(this);
  return w;
}

void FormView::updatewidget(ui::Control& c, Child& ch) {
  QWidget* w = ch.w;
  if (!w) return;
  const QRect g(c.left, c.top, std::max(0, c.width), std::max(0, c.height));
  if (w->geometry() != g) w->setGeometry(g);
  if (w->isHidden() == c.visible) w->setVisible(c.visible);
  if (w->isEnabledTo(this) != c.enabled) w->setEnabled(c.enabled);
  if (const ui::Font* f = fontof(c); f && (f->size != ch.font.size || f->bold != ch.font.bold)) {
    ch.font = *f;
    w->setFont(qfont(*f));
  }
  auto colours = [&](ui::Colour fore, ui::Colour back, QPalette::ColorRole backrole, QPalette::ColorRole forerole) {
    if (fore == ch.fore && back == ch.back) return;
    ch.fore = fore;
    ch.back = back;
    QPalette pal = w->palette();
    pal.setColor(backrole, qcolour(back));
    pal.setColor(forerole, qcolour(fore));
    w->setPalette(pal);
  };
  const QSignalBlocker quiet(w);  // model changes are not user input
  switch (c.kind) {
    case ui::Kind::Button: {
      const auto& b = static_cast<const ui::Button&>(c);
      if (b.caption != ch.text) static_cast<QPushButton*>(w)->setText(qstr(ch.text = b.caption));
      colours(ui::black, b.backcolor, QPalette::Button, QPalette::ButtonText);
      break;
    }
    case ui::Kind::TextBox: {
      const auto& t = static_cast<const ui::TextBox&>(c);
      colours(t.forecolor, t.backcolor, QPalette::Base, QPalette::Text);
      if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        if (e->isReadOnly() != t.locked) e->setReadOnly(t.locked);
        if (t.text != ch.text) e->setPlainText(tomultiline(ch.text = t.text));
      } else if (auto* l = qobject_cast<QLineEdit*>(w)) {
        if (l->isReadOnly() != t.locked) l->setReadOnly(t.locked);
        if (t.text != ch.text) l->setText(qstr(ch.text = t.text));
      }
      break;
    }
    case ui::Kind::ListBox: {
      const auto& lb = static_cast<const ui::ListBox&>(c);
      auto* l = static_cast<QListWidget*>(w);
      if (lb.items != ch.items) {
        ch.items = lb.items;
        l->clear();
        for (const auto& item : lb.items) l->addItem(qstr(item));
        ch.value = -2;  // the selection went with the rows
      }
      if (lb.listindex != ch.value) {
        ch.value = lb.listindex;
        if (lb.listindex >= 0 && lb.listindex < l->count()) {
          l->setCurrentRow(lb.listindex);
        } else {
          l->setCurrentRow(-1);
          l->clearSelection();
        }
      }
      break;
    }
    case ui::Kind::CheckBox: {
      const auto& cb = static_cast<const ui::CheckBox&>(c);
      auto* b = static_cast<QCheckBox*>(w);
      if (cb.caption != ch.text) b->setText(qstr(ch.text = cb.caption));
      if (cb.value != ch.value) {
        ch.value = cb.value;
        b->setTristate(cb.value == 2);
        b->setCheckState(cb.value == 1 ? Qt::Checked : cb.value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
      }
      break;
    }
    default: break;
  }
}

QWidget* FormView::widget(const ui::Control& c) const {
  auto it = children_.find(const_cast<ui::Control*>(&c));
  return it == children_.end() ? nullptr : it->second.w.data();
}

// --- painting ---

void FormView::paintEvent(QPaintEvent*) {
  ++paints_;
  if (quiet_ && !quietsince_) quietsince_ = std::chrono::steady_clock::now();
  QPainter p(this);
  paintform(p);
}

QImage FormView::snapshot() {
  QImage img(size(), QImage::Format_RGB32);
  img.fill(Qt::black);
  render(&img);
  return img;
}

const QImage* FormView::stretched(const ui::Image& c) {
  const auto* pic = dynamic_cast<const QtPicture*>(c.picture.get());
  if (!pic || !c.stretch || c.width <= 0 || c.height <= 0) return nullptr;
  const QSize want(c.width, c.height);
  if (pic->image.size() == want) return nullptr;
  Scaled& s = scaled_[&c];
  if (s.pic != c.picture || s.image.size() != want) {
    s.pic = c.picture;
    s.image = pic->image.scaled(want, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  }
  s.used = true;
  return &s.image;
}

void FormView::paintform(QPainter& p) {
  p.fillRect(QRect(0, 0, width(), height()), qcolour(form_.backcolor));
  if (const auto* pic = dynamic_cast<const QtPicture*>(form_.picture.get())) p.drawImage(0, 0, pic->image);
  const std::vector<ui::Control*> all = form_.controls();
  for (auto& [c, s] : scaled_) s.used = false;

  // Map pictures and tiles, then the drawing layer, then everything else.
  for (const ui::Control* c : all)
    if (c->visible && c->kind == ui::Kind::Image && static_cast<const ui::Image*>(c)->underlay) {
      const auto& im = static_cast<const ui::Image&>(*c);
      paintimage(p, im, stretched(im));
    }
  if (!form_.surface.ops().empty()) {
    const QImage& layer = formlayer_.update(form_.surface, form_.width, form_.height);
    if (!formlayer_.empty()) p.drawImage(0, 0, layer);
  }
  std::erase_if(boxlayers_, [&](const auto& e) { return std::find(all.begin(), all.end(), e.first) == all.end(); });
  for (const ui::Control* c : all) {
    if (!c->visible) continue;
    switch (c->kind) {
      case ui::Kind::Label: paintlabel(p, static_cast<const ui::Label&>(*c)); break;
      case ui::Kind::Image: {
        const auto& im = static_cast<const ui::Image&>(*c);
        if (!im.underlay) paintimage(p, im, stretched(im));
        break;
      }
      case ui::Kind::Line: paintline(p, static_cast<const ui::Line&>(*c)); break;
      case ui::Kind::Shape: paintshape(p, static_cast<const ui::Shape&>(*c)); break;
      case ui::Kind::PictureBox: {
        const auto& b = static_cast<const ui::PictureBox&>(*c);
        const QImage* layer = nullptr;
        if (!b.picture && !b.surface.ops().empty()) {
          const QRect inner = pictureboxclient(b);
          layer = &boxlayers_.try_emplace(c, true).first->second.update(b.surface, inner.width(), inner.height());
        }
        paintpicturebox(p, b, layer);
        break;
      }
      default: break;  // widgets
    }
  }
  std::erase_if(scaled_, [](const auto& e) { return !e.second.used; });
}

// --- input ---

void FormView::done() { owner_.inputdone(); }

bool FormView::alive(const ui::Control* c) const {
  if (!c) return false;
  const auto all = form_.controls();
  return std::find(all.begin(), all.end(), c) != all.end();
}

ui::Control* FormView::pick(QPointF pt) const {
  const int x = static_cast<int>(std::floor(pt.x())), y = static_cast<int>(std::floor(pt.y()));
  const auto all = form_.controls();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    ui::Control* c = *it;
    if (!c->visible || !c->enabled || c->kind == ui::Kind::Line || !painted(c->kind)) continue;
    if (c->contains(x, y) && hasmousehandler(*c)) return c;
  }
  return nullptr;  // the form itself
}

void FormView::mouse(MouseHandler ui::Control::*ch, MouseHandler ui::Form::*fh, ui::Control* target, int button,
                     int shift, QPointF pt) {
  if (target) {
    if (!alive(target)) return;  // unloaded while it held the pointer
    // Control handlers get coordinates relative to the control, as they always have.
    if (MouseHandler h = target->*ch) h(ui::MouseEvent{button, shift, pt.x() - target->left, pt.y() - target->top});
  } else if (MouseHandler h = form_.*fh) {
    h(ui::MouseEvent{button, shift, pt.x(), pt.y()});
  }
}

void FormView::click(ui::Control* target, bool dbl) {
  std::function<void()> h;
  if (target) {
    if (!alive(target)) return;
    h = dbl ? target->onDblClick : target->onClick;
  } else {
    h = dbl ? form_.onDblClick : form_.onClick;
  }
  if (h) h();
}

// A click that came with the keys a moment ago, which this window then gave back as handed to
// it by the window manager: they were the user's, and are taken again.
void FormView::clicked() {
  quiet_ = false;
  keyspending_ = !isActiveWindow();
  using namespace std::chrono_literals;
  if (const auto at = std::exchange(gaveback_, std::nullopt); at && std::chrono::steady_clock::now() - *at < 1s)
    activateWindow();
}

void FormView::mousePressEvent(QMouseEvent* e) {
  clicked();
  const QPointF pt = e->position();
  if (held_ == 0) {
    target_ = pick(pt);
    dblclick_ = false;
    dragging_ = false;
    pressed_ = pt;
  }
  held_ = buttonmask(e->buttons());
  mouse(&ui::Control::onMouseDown, &ui::Form::onMouseDown, target_, buttonmask(e->button()),
        shiftmask(e->modifiers()), pt);
  done();
}

void FormView::mouseDoubleClickEvent(QMouseEvent* e) {
  // Comes in place of the second press: the double click, then the release's MouseUp, and
  // no second Click.
  const QPointF pt = e->position();
  if (held_ == 0) target_ = pick(pt);
  held_ = buttonmask(e->buttons());
  dblclick_ = true;
  click(target_, true);
  done();
}

void FormView::mouseReleaseEvent(QMouseEvent* e) {
  const QPointF pt = e->position();
  ui::Control* t = target_;
  held_ = buttonmask(e->buttons());
  if (dragging_) return;  // the drop has had the release
  mouse(&ui::Control::onMouseUp, &ui::Form::onMouseUp, t, buttonmask(e->button()), shiftmask(e->modifiers()), pt);
  if (!dblclick_) {
    const int x = static_cast<int>(std::floor(pt.x())), y = static_cast<int>(std::floor(pt.y()));
    // A click is a press and release over the same thing.
    const bool over = t ? alive(t) && t->contains(x, y) : rect().contains(x, y);
    if (over) click(t, false);
  }
  if (held_ == 0) dblclick_ = false;
  done();
}

void FormView::mouseMoveEvent(QMouseEvent* e) {
  const QPointF pt = e->position();
  if ((held_ & ui::button_left) && target_ && target_->dragmode && alive(target_) &&
      (pt - pressed_).manhattanLength() >= QApplication::startDragDistance()) {
    startdrag(*target_, pressed_);
    return;
  }
  ui::Control* t = held_ ? target_ : pick(pt);
  mouse(&ui::Control::onMouseMove, &ui::Form::onMouseMove, t, buttonmask(e->buttons()), shiftmask(e->modifiers()),
        pt);
  done();
}

namespace {
// For an entry box, whether it is locked; nullopt for any other widget.
std::optional<bool> entrylocked(const QObject* o) {
  if (const auto* l = qobject_cast<const QLineEdit*>(o)) return l->isReadOnly();
  if (const auto* p = qobject_cast<const QPlainTextEdit*>(o)) return p->isReadOnly();
  return std::nullopt;
}
}  // namespace

void FormView::noteboxfocus(QObject* watched, bool in, Qt::FocusReason why) {
  auto* box = qobject_cast<QWidget*>(watched);
  if (!box || entrylocked(box) != false) return;
  if (in && (why == Qt::MouseFocusReason || why == Qt::TabFocusReason || why == Qt::BacktabFocusReason))
    userbox_ = box;
  // The keys gone to another window come back to the box with it; moved within the window, not.
  else if (!in && box == userbox_ && why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
    userbox_ = nullptr;
  form_.boxfocus = in && userbox_ == box;
}

bool FormView::eventFilter(QObject* watched, QEvent* e) {
  const auto type = e->type();
  if (type == QEvent::MouseButtonPress) clicked();
  if (type == QEvent::FocusIn || type == QEvent::FocusOut)
    noteboxfocus(watched, type == QEvent::FocusIn, static_cast<QFocusEvent*>(e)->reason());
  // A click into an entry box that takes typing starts using the window, as a key typed there does.
  if (type == QEvent::MouseButtonPress) {
    QObject* box = watched;
    if (!entrylocked(box) && qobject_cast<const QAbstractScrollArea*>(box->parent())) box = box->parent();
    if (entrylocked(box) == false) {
      if (auto h = form_.onBoxKey) h();
      // The focus may come with the click or, in a window not yet active, once it is.
      userbox_ = static_cast<QWidget*>(box);
      form_.boxfocus = userbox_->hasFocus();
    }
  }
  // Keys typed into an entry box that takes typing stay with it, as they always did: those it
  // has no use for (Enter, Escape) would otherwise go on to the window's key handler and run
  // as commands. A locked box gives the window every key that types something (Backspace too,
  // which it would swallow); it keeps the keys that move about in it.
  if (auto locked = type == QEvent::KeyPress ? entrylocked(watched) : std::nullopt) {
    auto* k = static_cast<QKeyEvent*>(e);
    bool handled = false;
    for (auto& [c, ch] : children_)
      if (ch.w.data() == watched && alive(c) && c->kind == ui::Kind::TextBox)
        if (auto h = static_cast<ui::TextBox*>(c)->onKeyDown)
          if (int code = keycode(k->key(), k->modifiers()); code != 0) {
            h(code, shiftmask(k->modifiers()));
            handled = true;
          }
    if (auto h = form_.onBoxKey; h && (!*locked || !keyascii(k->key(), k->modifiers(), k->text()))) {
      h();  // kept by the box, but the window is in use
      handled = true;
    }
    if (!*locked) {
      userbox_ = static_cast<QWidget*>(watched);  // typed in: the user's box now
      form_.boxfocus = true;
      watched->event(e);
      e->accept();  // an ignored key would go on to the window all the same
      if (handled) done();
      return true;
    }
    if (keyascii(k->key(), k->modifiers(), k->text())) {
      keyPressEvent(k);
      return true;
    }
    if (handled) done();
  }
  // A window whose keys are commands gets them from its buttons too: Space or Enter on a button
  // that has the focus is a key typed (a blank in the search text), not a press of the button.
  if (type == QEvent::KeyPress && form_.onKeyPress && qobject_cast<QPushButton*>(watched)) {
    keyPressEvent(static_cast<QKeyEvent*>(e));
    return true;
  }
  // Mouse handlers of controls shown by widgets; the widget still gets the event.
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
    return QWidget::eventFilter(watched, e);
  for (auto& [c, ch] : children_) {
    QWidget* w = ch.w;
    if (!w) continue;
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    if (watched != w && !(area && watched == area->viewport())) continue;
    auto* me = static_cast<QMouseEvent*>(e);
    QPointF pt = me->position();
    if (watched != w) pt = static_cast<QWidget*>(watched)->mapTo(w, pt);
    pt += QPointF(c->left, c->top);  // form coordinates, made relative again below
    const int shift = shiftmask(me->modifiers());
    ui::Control* target = c;
    if (type == QEvent::MouseButtonPress)
      mouse(&ui::Control::onMouseDown, &ui::Form::onMouseDown, target, buttonmask(me->button()), shift, pt);
    else if (type == QEvent::MouseButtonRelease)
      mouse(&ui::Control::onMouseUp, &ui::Form::onMouseUp, target, buttonmask(me->button()), shift, pt);
    else if (target->onMouseMove)
      mouse(&ui::Control::onMouseMove, &ui::Form::onMouseMove, target, buttonmask(me->buttons()), shift, pt);
    break;
  }
  return QWidget::eventFilter(watched, e);
}

void FormView::keyPressEvent(QKeyEvent* e) {
  const int shift = shiftmask(e->modifiers());
  // Key down, then the character it types, as the old runtime sent them; a key down
  // handler that swallows its key does not stop the character.
  if (int code = keycode(e->key(), e->modifiers()); code != 0)
    if (auto h = form_.onKeyDown) h(code, shift);
  if (auto ascii = keyascii(e->key(), e->modifiers(), e->text()))
    if (auto h = form_.onKeyPress) {
      int k = *ascii;
      h(k);
    }
  e->accept();
  done();
}

void FormView::keyReleaseEvent(QKeyEvent* e) {
  e->accept();
  if (e->isAutoRepeat()) return;  // held keys go up once
  if (int code = keycode(e->key(), e->modifiers()); code != 0)
    if (auto h = form_.onKeyUp) {
      h(code, shiftmask(e->modifiers()));
      done();
    }
}

void FormView::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::ActivationChange || !isActiveWindow()) return;
  // A window shown without the keys that the window manager hands them to as it appears (some
  // give them to a new window of the one that has them, and again after they were given back,
  // while it settles the windows' order) gives them back at once, as often as they come.
  using namespace std::chrono_literals;
  const auto now = std::chrono::steady_clock::now();
  // Timed from when it is first drawn: the keys may come before, as the program may be busy
  // between showing a window and taking the window system's news of it.
  if (quiet_ && quietsince_ && now - *quietsince_ >= 3s) quiet_ = false;
  if (quiet_) {
    FormView* had = owner_.lastactive();
    if (had && had != this && had->isVisible() && had->form_.visible) {
      gaveback_ = now;
      had->activate();
      return;
    }
    quiet_ = false;
  }
  keyspending_ = false;
  if (FormView* before = owner_.activated(*this)) camefrom_ = before;
  if (auto h = form_.onGotFocus) {
    h();
    done();
  }
}

// --- drag and drop ---

namespace {
// What a drag of ours carries: the form's name, the control's name and its index, a line each.
const QString dragformat = QStringLiteral("application/x-zarn-control");
}  // namespace

void FormView::startdrag(ui::Control& c, QPointF from) {
  dragging_ = true;  // the release goes to the drop
  auto* drag = new QDrag(this);
  auto* data = new QMimeData;
  data->setData(dragformat, QByteArray::fromStdString(form_.name() + "\n" + c.name + "\n" + std::to_string(c.index)));
  drag->setMimeData(data);
  const QRect r(c.left, c.top, std::max(1, c.width), std::max(1, c.height));
  drag->setPixmap(grab(r));  // the control follows the pointer
  drag->setHotSpot((from - QPointF(r.topLeft())).toPoint());
  drag->exec(Qt::MoveAction);
  // The drag took the release: the next press starts afresh.
  held_ = 0;
  target_ = nullptr;
  done();
}

ui::Control* FormView::dragged(const QMimeData* data) const {
  if (!data || !data->hasFormat(dragformat)) return nullptr;
  const QList<QByteArray> parts = data->data(dragformat).split('\n');
  if (parts.size() != 3) return nullptr;
  bool ok = false;
  const int index = parts[2].toInt(&ok);
  ui::Form* f = owner_.form(parts[0].toStdString());
  return ok && f ? f->find(parts[1].toStdString(), index) : nullptr;
}

void FormView::dragEnterEvent(QDragEnterEvent* e) {
  if (dragged(e->mimeData())) e->acceptProposedAction();
}

void FormView::dragMoveEvent(QDragMoveEvent* e) {
  if (dragged(e->mimeData())) e->acceptProposedAction();
}

void FormView::dropEvent(QDropEvent* e) {
  ui::Control* source = dragged(e->mimeData());
  if (!source) return;
  e->acceptProposedAction();
  const QPointF pt = e->position();
  const int x = static_cast<int>(std::floor(pt.x())), y = static_cast<int>(std::floor(pt.y()));
  // The front-most control under the drop point that takes drops (buttons too), else the window.
  const auto all = form_.controls();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    ui::Control* c = *it;
    if (!c->visible || !c->enabled || c->kind == ui::Kind::Line || !c->contains(x, y) || !c->onDragDrop) continue;
    auto h = c->onDragDrop;
    h(*source, pt.x() - c->left, pt.y() - c->top);
    done();
    return;
  }
  if (auto h = form_.onDragDrop) h(*source, pt.x(), pt.y());
  done();
}

void FormView::closeEvent(QCloseEvent* e) {
  e->ignore();  // windows are hidden, never destroyed
  owner_.closerequested(*this);
}

}  // namespace zarn::qt
