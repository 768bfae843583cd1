#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace brimwell {
namespace {

QString TitleOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QStringLiteral("Warning");
    case MessageKind::Error:
      return QStringLiteral("Error");
    case MessageKind::Information:
      return QStringLiteral("Information");
  }
  return QString();
}

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Error:
      return QMessageBox::Critical;
    case MessageKind::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::Information;
}

// "*.*" means every file, also one without an extension, as on Windows; Qt's "*.*" would hide
// those.
QString QtPattern(const std::string& pattern) {
  return pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern);
}

// Qt's own dialog, not the desktop's: it matches "*.NES" in any letter case, as the Windows
// dialog does, where the GTK one matches case-sensitively.
std::unique_ptr<QFileDialog> NewFileDialog(QFileDialog::AcceptMode mode, const std::string& title,
                                           const std::vector<FileFilter>& filters,
                                           const std::string& suggestedFile) {
  auto dialog = std::make_unique<QFileDialog>(QApplication::activeWindow());
  dialog->setAcceptMode(mode);
  dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  dialog->setSizeGripEnabled(true);
  if (!title.empty()) dialog->setWindowTitle(QString::fromStdString(title));

  QStringList nameFilters;
  for (const FileFilter& filter : filters)
    nameFilters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.description),
                                                 QtPattern(filter.pattern));
  dialog->setNameFilters(nameFilters);
  if (!suggestedFile.empty()) dialog->selectFile(QString::fromStdString(suggestedFile));
  return dialog;
}

// The path as the user knows it: with backslashes on Windows.
std::optional<std::string> ChosenPath(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).toStdString();
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

// A message box is an alert, which a screen reader reads out as soon as it appears. Only on
// Windows does the box sound its icon's own system sound, after the one the program played.
void QtPlatform::ShowMessage(MessageKind kind, const std::string& text) {
  QMessageBox box(IconOf(kind), TitleOf(kind), QString::fromStdString(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.exec();
}

std::optional<std::string> QtPlatform::ChooseFileToOpen(const std::string& title,
                                                        const std::vector<FileFilter>& filters,
                                                        const std::string& suggestedFile) {
  const auto dialog = NewFileDialog(QFileDialog::AcceptOpen, title, filters, suggestedFile);
  dialog->setFileMode(QFileDialog::ExistingFile);
  return ChosenPath(*dialog);
}

std::optional<ChosenFile> QtPlatform::ChooseFileToSave(const std::string& title,
                                                       const std::vector<FileFilter>& filters,
                                                       const std::string& suggestedFile) {
  const auto dialog = NewFileDialog(QFileDialog::AcceptSave, title, filters, suggestedFile);
  auto path = ChosenPath(*dialog);
  if (!path) return std::nullopt;
  const auto filter = dialog->nameFilters().indexOf(dialog->selectedNameFilter());
  return ChosenFile{std::move(*path), filter < 0 ? 0 : std::size_t(filter)};
}

}  // namespace brimwell
