#include "vehicles/dialout.h"

#include "app/app.h"

namespace zarn {

void dialsend(App& app, const std::string& to, const std::string& text, const std::string& body) {
  // TODO
  (void)app, (void)to, (void)text, (void)body;
}

void dialmon(App& app) {
  // TODO
  (void)app;
}

}  // namespace zarn
