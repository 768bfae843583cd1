// Preloaded into a Qt program by the start-up benchmark: ends the program through its own
// event loop as soon as its first window has painted, so that a whole process run measures
// start-up, first paint and exit, and nothing else. The same library goes into the program
// and into its floor.
//
// With BRIMWELL_BENCH_FIRST_PAINT set, the caption of the painted window is written to the
// file it names, so that the benchmark can tell which window came up first.

#include <QCoreApplication>
#include <QFile>
#include <QWidget>

namespace {

class FirstPaintExit : public QObject {
 public:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() != QEvent::Paint || painted_ || !receiver->isWidgetType()) return false;
    painted_ = true;
    NoteCaption(static_cast<QWidget*>(receiver)->window()->windowTitle());
    // Queued, so that the window finishes the paint it has begun before the loop ends.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    return false;
  }

 private:
  static void NoteCaption(const QString& caption) {
    const QString path = qEnvironmentVariable("BRIMWELL_BENCH_FIRST_PAINT");
    if (path.isEmpty()) return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(caption.toUtf8());
  }

  bool painted_ = false;
};

void InstallFirstPaintExit() {
  QCoreApplication::instance()->installEventFilter(new FirstPaintExit);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintExit)
