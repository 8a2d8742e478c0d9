#include "mainwindow/onekey.h"

#include "app/app.h"

namespace zarn {

void onekeycmd(App& app, const std::string& key) {
  (void)app;
  (void)key;
}

}  // namespace zarn
