#include "Labels.h"

#include <QLabel>

namespace brimwell {

QLabel* NewPlainLabel(const QString& text, const char* name) {
  auto* label = new QLabel(text);
  if (name) label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

void SetTextColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  if (palette.color(QPalette::WindowText) == colour) return;
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

void Embolden(QWidget* widget) {
  QFont font = widget->font();
  font.setBold(true);
  widget->setFont(font);
}

}  // namespace brimwell
