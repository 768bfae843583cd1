// Runs the dialog tests inside one QApplication. They run on Qt's offscreen platform unless
// QT_QPA_PLATFORM names another, so that no window ever needs a display (test discovery
// at build time starts this program too).

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
