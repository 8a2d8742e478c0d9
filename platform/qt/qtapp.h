// The program's QApplication: the one place where an exception thrown by the handler of a
// window, widget or timer event is stopped, so that one failing command does not end the
// program.
#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace zarn::qt {

class Application final : public QApplication {
 public:
  // A display that cannot be opened ends the program here with a plain message and status 1,
  // not with Qt's abort.
  Application(int& argc, char** argv) : QApplication((catchnodisplay(), argc), argv) { releasenodisplay(); }

  // Delivers an event. An exception escaping its handler ends there: what it says goes to
  // onexception (and to stderr), and the event counts as handled.
  bool notify(QObject* receiver, QEvent* e) override;
  std::function<void(const std::string& what)> onexception;
  // The program ended inside a handler (only where ending cannot end the process: tests).
  std::function<void()> onended;

 private:
  static void catchnodisplay();
  static void releasenodisplay();
};

}  // namespace zarn::qt
