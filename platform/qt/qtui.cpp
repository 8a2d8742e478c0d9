#include "platform/qt/qtui.h"

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
  for (ui::Form* f : forms) {
    auto it = views_.find(f);
    if (it == views_.end()) {
      if (!f->visible) continue;  // made when first shown
      it = views_.emplace(f, std::make_unique<FormView>(*f, *this)).first;
    }
    it->second->sync();
  }
  for (auto it = views_.begin(); it != views_.end();) {
    if (std::find(forms.begin(), forms.end(), it->first) != forms.end()) {
      ++it;
      continue;
    }
    FormView* v = it->second.release();
    v->hide();
    v->deleteLater();  // it may be handling the event that got rid of its form
    it = views_.erase(it);
  }
}

FormView* QtUi::view(const ui::Form& f) const {
  auto it = views_.find(&f);
  return it == views_.end() ? nullptr : it->second.get();
}

QWindow* QtUi::mainwindow() {
  const std::vector<ui::Form*> forms = forms_();
  if (forms.empty()) return nullptr;
  auto it = views_.find(forms.front());
  if (it == views_.end()) it = views_.emplace(forms.front(), std::make_unique<FormView>(*forms.front(), *this)).first;
  it->second->winId();
  return it->second->windowHandle();
}

void QtUi::inputdone() {
  refresh();
  if (auto h = afterinput) h();
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
