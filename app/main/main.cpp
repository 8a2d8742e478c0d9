#include "app/app.h"

int main() {
  zarn::App app;
  return 0;
}
