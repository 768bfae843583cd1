#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace brimwell {
namespace {

QStyle::StandardPixmap IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QStyle::SP_MessageBoxWarning;
    case MessageKind::Error:
      return QStyle::SP_MessageBoxCritical;
    case MessageKind::Information:
      return QStyle::SP_MessageBoxInformation;
  }
  return QStyle::SP_MessageBoxInformation;
}

// "*.*" means every file, also one without an extension, as on Windows; Qt's "*.*" would hide
// those.
QString QtPattern(const std::string& pattern) {
  return pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern);
}

}  // namespace

void QtPlatform::Beep(SystemSound sound) {
#ifdef _WIN32
  MessageBeep(static_cast<UINT>(sound));
#else
  (void)sound;
  QApplication::beep();
#endif
}

// A plain dialog rather than QMessageBox: the latter raises an accessibility alert that some
// platforms answer with a sound of their own, and each box must make only the sound that the
// program chose to play before it.
void QtPlatform::ShowMessage(MessageKind kind, const std::string& text) {
  QDialog box(QApplication::activeWindow());
  box.setWindowTitle(QString::fromUtf8(MessageTitle(kind)));
  box.setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* icon = new QLabel;
  const int extent = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
  icon->setPixmap(box.style()->standardIcon(IconOf(kind), nullptr, &box).pixmap(extent, extent));
  auto* message = new QLabel(QString::fromStdString(text));
  message->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));

  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addWidget(message, 1);
  auto* layout = new QVBoxLayout(&box);
  layout->addLayout(row);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  box.exec();
}

// Qt's own dialog, not the desktop's: it matches "*.NES" in any letter case, as the Windows
// dialog does, where the GTK one matches case-sensitively.
std::optional<std::string> QtPlatform::ChooseFileToOpen(const std::vector<FileFilter>& filters,
                                                        const std::string& suggestedFile) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  dialog.setSizeGripEnabled(true);

  QStringList nameFilters;
  for (const FileFilter& filter : filters)
    nameFilters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.description),
                                                 QtPattern(filter.pattern));
  dialog.setNameFilters(nameFilters);
  if (!suggestedFile.empty()) dialog.selectFile(QString::fromStdString(suggestedFile));

  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  // Shown in the caption as the user knows it: with backslashes on Windows.
  return QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace brimwell
