#include "platform/qt/qtapp.h"

#include <cstdio>
#include <exception>

#include "platform/services.h"

namespace zarn::qt {

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
