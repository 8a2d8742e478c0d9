// The services that need Qt: pictures, message boxes, the event pump and text metrics.
#pragma once

#include <QImage>
#include <functional>

#include "platform/services.h"
#include "platform/ui.h"

namespace zarn::qt {

// A decoded picture; the views draw its image.
struct QtPicture final : ui::Picture {
  QImage image;  // RGB32, or ARGB32 premultiplied when the file has transparency (icons)
};

// BMP and ICO files through Qt's image readers. An icon file with several images gives its
// 32 x 32 one (the size the program places icons by), else its first.
class QtImageStore final : public platform::ImageStore {
 protected:
  std::optional<std::pair<int, int>> measure(const std::filesystem::path& file) override;
  ui::PictureRef decode(const std::filesystem::path& file) override;
};

// Modal message boxes over the active window, answering with the old codes.
class QtDialogs final : public platform::Dialogs {
 public:
  int msgbox(const std::string& prompt, int buttons, const std::string& title) override;
};

// Lets Qt run pending events. onevents runs first on each pass, so that windows show what the
// model holds while a long wait keeps the program alive.
class QtEventPump final : public platform::EventPump {
 public:
  void doevents() override;
  void idle() override;  // sleeps a few milliseconds
  bool endasked() const override { return endpending && endpending(); }
  std::function<void()> onevents;
  std::function<bool()> endpending;
};

// The available area of the primary screen (a 640 x 480 screen when there is none).
platform::ScreenArea qtscreen();

// Text widths and heights measured with the program's face (needs a running QGuiApplication).
ui::TextMetrics qtmetrics();

}  // namespace zarn::qt
