// Each editor window shown offscreen (show, events processed until painted, close), at its first
// showing and at later ones, against the same widgets in plain Qt, and the sprite editor's moves
// against the same keys in plain Qt.
// Adding an editor takes one AddEditorFirstShowing and one AddEditorShowing; a move inside one,
// one AddEditorStep.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <functional>
#include <memory>

#include "BenchRom.h"
#include "GoogleBench.h"
#include "WidgetMirror.h"
#include "patches/TdlgBattle.h"
#include "patches/TdlgLimits.h"
#include "patches/TdlgMagic.h"
#include "patches/TdlgMisc.h"
#include "sprites/TdlgSprites.h"

namespace brimwell::bench {
namespace {

BenchDocument& Document() {
  static BenchDocument document;
  return document;
}

using EditorFactory = std::function<std::unique_ptr<QDialog>(BenchDocument&)>;
using Preparation = std::function<void(QDialog&)>;

// Counts what Qt delivers, so that a measurement waits until the window has painted and has
// nothing left to do, without sleeping.
class EventCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    ++events;
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }

  unsigned long events = 0;
  unsigned long paints = 0;
};

EventCounter& Counter() {
  static EventCounter counter;
  return counter;
}

// A pass that delivers no event ends the wait; the bound keeps a window that never paints
// from hanging the run. Returns whether anything painted.
constexpr int kMaxPasses = 1000;

bool ProcessEvents(bool untilPainted) {
  const unsigned long paintsBefore = Counter().paints;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    const unsigned long eventsBefore = Counter().events;
    QCoreApplication::processEvents();
    const bool idle = Counter().events == eventsBefore;
    if (idle && (!untilPainted || Counter().paints != paintsBefore)) break;
  }
  return Counter().paints != paintsBefore;
}

bool ShowAndClose(QDialog& window) {
  window.show();
  const bool painted = ProcessEvents(true);
  window.reject();
  ProcessEvents(false);
  return painted;
}

// An editor as the main window keeps it: created once, modal, and laid out by a first showing.
std::unique_ptr<QDialog> OpenEditor(const EditorFactory& make) {
  std::unique_ptr<QDialog> editor = make(Document());
  editor->setWindowModality(Qt::ApplicationModal);
  ShowAndClose(*editor);
  return editor;
}

void MeasureShowings(QDialog& window, benchmark::State& state) {
  for (auto _ : state)
    if (!ShowAndClose(window)) state.SkipWithError("the window did not paint");
}

void AddEditorShowing(const std::string& editor, Target target, EditorFactory make) {
  const std::string floor = "show: " + editor + ", same widgets in plain Qt";
  AddFigure("show: " + editor, floor, target,
            [make](benchmark::State& state) { MeasureShowings(*OpenEditor(make), state); });
  AddFloor(floor, [make](benchmark::State& state) {
    MeasureShowings(*MirrorInPlainQt(*OpenEditor(make)), state);
  });
}

// The first showing, which builds an editor's widgets: a fresh editor each time, its creation
// and destruction left out. The floor is the first showing of a fresh plain copy, which has its
// widgets already.
void MeasureFirstShowings(const std::function<std::unique_ptr<QDialog>()>& make,
                          benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<QDialog> window = make();
    window->setWindowModality(Qt::ApplicationModal);
    state.ResumeTiming();
    if (!ShowAndClose(*window)) state.SkipWithError("the window did not paint");
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}

void AddEditorFirstShowing(const std::string& editor, EditorFactory make) {
  const std::string floor = "first show: " + editor + ", same widgets in plain Qt";
  AddFigure("first show: " + editor, floor, Target::UnderNanoseconds(5 * kMillisecond),
            [make](benchmark::State& state) {
              MeasureFirstShowings([&] { return make(Document()); }, state);
            });
  AddFloor(floor, [make](benchmark::State& state) {
    const std::unique_ptr<QDialog> shown = OpenEditor(make);
    MeasureFirstShowings([&] { return MirrorInPlainQt(*shown); }, state);
  });
}

// The user's Down key in a list or drop-down; Home from its last entry back to the first.
void StepToNext(QWidget& widget) {
  bool last = false;
  if (const auto* list = qobject_cast<QAbstractItemView*>(&widget))
    last = list->currentIndex().row() == list->model()->rowCount() - 1;
  else if (const auto* combo = qobject_cast<QComboBox*>(&widget))
    last = combo->currentIndex() == combo->count() - 1;
  QTest::keyClick(&widget, last ? Qt::Key_Home : Qt::Key_Down);
}

Preparation PressKey(const char* widget, Qt::Key key) {
  return [widget, key](QDialog& window) {
    QTest::keyClick(window.findChild<QWidget*>(QString::fromLatin1(widget)), key);
  };
}

// The editor shown and brought to where the steps begin.
std::unique_ptr<QDialog> ShowPrepared(const EditorFactory& make, const Preparation& prepare) {
  std::unique_ptr<QDialog> editor = OpenEditor(make);
  editor->show();
  ProcessEvents(true);
  if (prepare) prepare(*editor);
  ProcessEvents(false);
  return editor;
}

void MeasureSteps(QDialog& window, const char* widgetName, benchmark::State& state) {
  window.show();
  ProcessEvents(false);
  QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(widgetName));
  if (!widget || !widget->isEnabled()) {
    state.SkipWithError("the window has no such widget, or it is disabled");
  } else {
    for (auto _ : state) {
      StepToNext(*widget);
      if (!ProcessEvents(true)) state.SkipWithError("the step painted nothing");
    }
  }
  window.reject();
  ProcessEvents(false);
}

// A move inside a shown editor: the Down key on the named list or drop-down, with events
// processed until the window has painted the result. The floor copies the editor as it stands
// once prepared, and takes the same keys.
void AddEditorStep(const std::string& name, Target target, EditorFactory make, const char* widget,
                   Preparation prepare = {}) {
  const std::string floor = name + ", in plain Qt";
  AddFigure(name, floor, target, [make, widget, prepare](benchmark::State& state) {
    MeasureSteps(*ShowPrepared(make, prepare), widget, state);
  });
  AddFloor(floor, [make, widget, prepare](benchmark::State& state) {
    MeasureSteps(*MirrorInPlainQt(*ShowPrepared(make, prepare)), widget, state);
  });
}

template <typename Editor>
EditorFactory EditorOnDocument() {
  return [](BenchDocument& document) { return std::make_unique<Editor>(document.Document()); };
}

EditorFactory SpriteEditorOnImage() {
  return [](BenchDocument& document) {
    return std::make_unique<TdlgSprites>(document.Document(), document.Names().sprites,
                                         document.Names().dialogues);
  };
}

const bool kEditors = [] {
  const std::pair<const char*, EditorFactory> editors[] = {
      {"Limits", EditorOnDocument<TdlgLimits>()}, {"Battle", EditorOnDocument<TdlgBattle>()},
      {"Magic", EditorOnDocument<TdlgMagic>()},   {"Misc", EditorOnDocument<TdlgMisc>()},
      {"Sprites", SpriteEditorOnImage()},
  };
  for (const auto& [name, make] : editors) AddEditorFirstShowing(name, make);
  AddEditorShowing("Limits", Target::None(), EditorOnDocument<TdlgLimits>());
  AddEditorShowing("Battle", Target::None(), EditorOnDocument<TdlgBattle>());
  AddEditorShowing("Magic", Target::None(), EditorOnDocument<TdlgMagic>());
  AddEditorShowing("Misc", Target::None(), EditorOnDocument<TdlgMisc>());
  AddEditorShowing("Sprites", Target::UnderNanoseconds(10 * kMillisecond), SpriteEditorOnImage());
  AddEditorStep("Sprites: move to the next sprite", Target::UnderNanoseconds(kMillisecond),
                SpriteEditorOnImage(), "lbSprites");
  // Sprite 207 takes any handler type.
  AddEditorStep("Sprites: change the handler type", Target::None(), SpriteEditorOnImage(),
                "cbHandlerType", PressKey("lbSprites", Qt::Key_End));
  return true;
}();

}  // namespace
}  // namespace brimwell::bench

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QGuiApplication::setApplicationDisplayName(QString());
  application.installEventFilter(&brimwell::bench::Counter());
  return brimwell::bench::RunBenchmarks(argc, argv);
}
