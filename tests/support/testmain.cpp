// Test runner: the program's QApplication exists for the tests that render (offscreen).
#include <gtest/gtest.h>

#include "platform/qt/qtapp.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  zarn::qt::Application qapp(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
