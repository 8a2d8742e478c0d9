#include "platform/qt/qtui.h"

#include <QApplication>
#include <algorithm>

#include "platform/qt/formview.h"

namespace zarn::qt {

QtUi::QtUi(FormList forms) : forms_(std::move(forms)) {}

QtUi::~QtUi() = default;

void QtUi::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  struct Reset {
    bool& f;
    ~Reset() { f = false; }
  } reset{refreshing_};

  const std::vector<ui::Form*> forms = forms_();
  std::vector<FormView*> views;
  for (ui::Form* f : forms) {
    FormView* v = view(*f);
    if (!v && !f->visible) continue;  // made when first shown
    views.push_back(v ? v : &make(*f));
  }
  // A window that takes the keys keeps them from the windows shown with it: the window system
  // carries out each activation once its window appears, so the last window to appear would
  // have them otherwise, whichever asked last.
  // A window about to come up may be given its place first.
  if (beforeshow)
    for (FormView* v : views)
      if (v->form().visible && !v->isVisible()) beforeshow(v->form());
  FormView* keys = nullptr;
  for (FormView* v : views)
    if (v->takeskeys()) keys = v;
  // The user typing into a text box keeps the keys there: a window that opens meanwhile (a
  // message arriving) appears without taking them, so the rest of the typing goes on into the
  // box and not, once that window is gone or the main window has taken them back, to the map.
  auto* typing = dynamic_cast<FormView*>(QApplication::activeWindow());
  if (!keys && std::find(views.begin(), views.end(), typing) != views.end() && typing->form().visible &&
      typing->form().boxfocus)
    keys = typing;
  for (FormView* v : views) v->sync(keys && keys != v);
  for (auto it = views_.begin(); it != views_.end();) {
    if (std::find(forms.begin(), forms.end(), it->first) != forms.end()) {
      ++it;
      continue;
    }
    FormView* v = it->second.release();
    if (lastactive_ == v) lastactive_ = nullptr;
    v->hide();
    v->deleteLater();  // it may be handling the event that got rid of its form
    it = views_.erase(it);
  }
}

FormView* QtUi::view(const ui::Form& f) const {
  auto it = views_.find(&f);
  return it == views_.end() ? nullptr : it->second.get();
}

ui::Form* QtUi::form(std::string_view name) const {
  for (ui::Form* f : forms_())
    if (f->name() == name) return f;
  return nullptr;
}

FormView& QtUi::make(ui::Form& f) { return *views_.emplace(&f, std::make_unique<FormView>(f, *this)).first->second; }

QWindow* QtUi::mainwindow() {
  const std::vector<ui::Form*> forms = forms_();
  if (forms.empty()) return nullptr;
  FormView* v = view(*forms.front());
  if (!v) v = &make(*forms.front());
  v->winId();
  return v->windowHandle();
}

void QtUi::raisetopmost() {
  for (auto& [f, v] : views_)
    if (f->topmost && v->isVisible()) v->raise();
  // A question being asked stays above them.
  if (QWidget* question = QApplication::activeModalWidget()) question->raise();
}

void QtUi::inputdone() {
  refresh();
  if (auto h = afterinput) h();
}

FormView* QtUi::activated(FormView& v) {
  FormView* before = lastactive_;
  lastactive_ = &v;
  return before == &v ? nullptr : before;
}

void QtUi::closerequested(FormView& v) {
  const std::vector<ui::Form*> forms = forms_();
  ui::Form& f = v.form();
  if (!forms.empty() && forms.front() == &f) {
    // Closing the main window is taken as its Escape key.
    if (auto h = f.onKeyPress) {
      int k = 27;
      h(k);
    }
  } else {
    f.visible = false;
    if (auto h = f.onClose) h();
  }
  inputdone();
}

}  // namespace zarn::qt
