#pragma once

// A one-line label for a file path in a window of fixed width: the path is shown as written
// (never as markup), its middle elided when it does not fit, and whole in the tool tip and to
// screen readers.

#include <QLabel>

namespace brimwell {

class PathLabel : public QLabel {
  Q_OBJECT

 public:
  explicit PathLabel(QWidget* parent = nullptr);

  void ShowText(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Elide();

  QString fullText_;
};

}  // namespace brimwell
