#pragma once

// The floor of a window's showing: the same widgets, with the same texts, entries, states and
// places, in a plain QDialog that loads nothing and reacts to nothing.

#include <QDialog>

#include <memory>

namespace brimwell::bench {

// Copies a dialog that has been laid out (shown once) widget by widget into stock Qt classes.
std::unique_ptr<QDialog> MirrorInPlainQt(const QDialog& dialog);

}  // namespace brimwell::bench
