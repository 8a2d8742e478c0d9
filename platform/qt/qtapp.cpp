#include "platform/qt/qtapp.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/services.h"

namespace zarn::qt {

namespace {
// While the application starts: Qt's warnings as usual, and for the fatal one (no display) ours.
void nodisplay(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
  if (type != QtFatalMsg) {
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, msg).toLocal8Bit().constData());
    return;
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  std::string which = display && *display ? std::string("the display \"") + display + "\""
                      : wayland && *wayland ? std::string("the Wayland display \"") + wayland + "\""
                                            : std::string("the display");
  std::fprintf(stderr, "zarn: %s cannot be opened, so zarn cannot show its windows.\n", which.c_str());
  std::fflush(stderr);
  std::_Exit(1);
}
}  // namespace

void Application::catchnodisplay() { qInstallMessageHandler(nodisplay); }
void Application::releasenodisplay() { qInstallMessageHandler(nullptr); }

bool Application::notify(QObject* receiver, QEvent* e) {
  std::string what;
  try {
    return QApplication::notify(receiver, e);
  } catch (const platform::ProgramEnded&) {
    if (auto h = onended) h();
    return true;
  } catch (const std::exception& x) {
    what = x.what();
  } catch (...) {
    what = "unknown exception";
  }
  std::fprintf(stderr, "zarn: an event handler failed: %s\n", what.c_str());
  if (onexception) {
    try {
      onexception(what);
    } catch (...) {  // the report itself failed: stderr has it
    }
  }
  return true;
}

}  // namespace zarn::qt
