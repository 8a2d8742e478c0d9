// The Qt side of the window model: one view per form, made when the form is first shown,
// kept in step with the model by refresh().
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/ui.h"

class QWindow;

namespace zarn::qt {

class FormView;

class QtUi {
 public:
  // forms: every form that exists, the main window first.
  using FormList = std::function<std::vector<ui::Form*>()>;
  explicit QtUi(FormList forms);
  ~QtUi();
  QtUi(const QtUi&) = delete;
  QtUi& operator=(const QtUi&) = delete;

  // Brings every view in line with its model; cheap when nothing changed. Call after each
  // tick and whenever the model may have changed outside an input event.
  void refresh();
  // The view of a form, or null while it has never been shown.
  FormView* view(const ui::Form& f) const;
  // The form of that name, or null.
  ui::Form* form(std::string_view name) const;
  // The main window's native window, made (not shown) if need be, for the windows it owns;
  // null when there is no main window.
  QWindow* mainwindow();
  // Puts the windows kept on top back above the others (a window raised with no window manager
  // to keep them there goes above them).
  void raisetopmost();

  // Runs after each input event, once the views are refreshed.
  std::function<void()> afterinput;
  // Runs for a window that is about to be shown (first shown, or shown again after being
  // hidden), before its view takes its place: the handler may move it.
  std::function<void(ui::Form&)> beforeshow;

  // For the views: an input event has been handled; the user closes a window (the main
  // window's close acts as Escape, another window is hidden).
  void inputdone();
  void closerequested(FormView& v);
  // A view has taken the keys; the window that had them before (one of ours, or null).
  FormView* activated(FormView& v);
  // The view that took the keys last (null: none of ours, or it is gone).
  FormView* lastactive() const { return lastactive_; }

 private:
  // A new view of the form, not shown yet.
  FormView& make(ui::Form& f);

  FormList forms_;
  std::map<const ui::Form*, std::unique_ptr<FormView>> views_;
  bool refreshing_ = false;
  FormView* lastactive_ = nullptr;  // the view that took the keys last; cleared as it goes
};

}  // namespace zarn::qt
