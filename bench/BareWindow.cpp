// The floor of Brimwell's start-up: a bare Qt Widgets main window with a menu and a few labels
// and buttons, set up with the same application settings and window flags as the program.

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QGuiApplication::setApplicationDisplayName(QString());

  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare window"));
  QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open..."))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  file->addAction(QStringLiteral("&Save"));
  file->addSeparator();
  file->addAction(QStringLiteral("E&xit"));

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(new QLabel(QStringLiteral("A label that says what the window is for.")));
  layout->addWidget(new QLabel(QStringLiteral("Editing:")));
  auto* buttons = new QGridLayout;
  buttons->addWidget(new QPushButton(QStringLiteral("&First...")), 0, 0);
  buttons->addWidget(new QPushButton(QStringLiteral("&Second...")), 0, 1);
  buttons->addWidget(new QPushButton(QStringLiteral("&Third...")), 1, 0);
  layout->addLayout(buttons);
  layout->addWidget(new QLabel(QStringLiteral("A closing note.")));
  window.setCentralWidget(central);

  window.layout()->setSizeConstraint(QLayout::SetFixedSize);
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
  window.show();
  return application.exec();
}
