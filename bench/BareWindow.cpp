// The floor of Brimwell's start-up: a bare Qt Widgets main window shaped like Brimwell's own (a
// File menu, a bold wrapping notice, a few labels, two rules and five buttons), set up with the
// same application settings and window flags, and doing nothing else: no data file, no ROM,
// no editor windows.

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* NewLabel(const char* text, bool bold = false) {
  auto* label = new QLabel(QString::fromLatin1(text));
  label->setTextFormat(Qt::PlainText);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

QFrame* NewRule() {
  auto* rule = new QFrame;
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QGuiApplication::setApplicationDisplayName(QString());

  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare window"));
  QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open file..."))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  file->addAction(QStringLiteral("&Save file"));
  file->addSeparator();
  file->addAction(QStringLiteral("E&xit"));

  QLabel* notice = NewLabel(
      "A notice of about two lines that wraps over the width of the window, in bold, as a "
      "warning to the user about what to avoid while this window is open.",
      true);
  notice->setWordWrap(true);
  notice->setFixedWidth(460);
  QLabel* credit = NewLabel("A one-line credit with a version number (and a month and year)");
  credit->setAlignment(Qt::AlignCenter);
  auto* editing = new QHBoxLayout;
  editing->addWidget(NewLabel("Editing:"));
  editing->addWidget(NewLabel("(nothing opened yet)"), 1);
  auto* buttons = new QGridLayout;
  buttons->addWidget(new QPushButton(QStringLiteral("&First...")), 0, 0);
  buttons->addWidget(new QPushButton(QStringLiteral("&Second...")), 0, 1);
  buttons->addWidget(new QPushButton(QStringLiteral("&Third...")), 0, 2);
  buttons->addWidget(new QPushButton(QStringLiteral("F&ourth...")), 0, 3);
  buttons->addWidget(new QPushButton(QStringLiteral("Fi&fth...")), 1, 0);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(NewRule());
  layout->addWidget(notice);
  layout->addWidget(credit);
  layout->addLayout(editing);
  layout->addWidget(NewRule());
  layout->addLayout(buttons);
  layout->addWidget(NewLabel("A closing note with an address: someone@example.org", true));
  layout->addWidget(NewLabel(""));
  window.setCentralWidget(central);

  window.layout()->setSizeConstraint(QLayout::SetFixedSize);
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
  window.show();
  return application.exec();
}
