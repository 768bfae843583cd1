#include "PathLabel.h"

#include <QResizeEvent>

namespace brimwell {

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  // Takes the width the window gives it rather than asking for the path's width.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void PathLabel::ShowText(const QString& text) {
  fullText_ = text;
  setToolTip(text);
  setAccessibleName(text);
  Elide();
}

void PathLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Elide();
}

void PathLabel::Elide() {
  setText(fontMetrics().elidedText(fullText_, Qt::ElideMiddle, qMax(width(), 1)));
}

}  // namespace brimwell
