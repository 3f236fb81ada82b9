#pragma once
// What the window's exports ask of the operator: the patience for work that takes
// long, shown in a progress dialog that can cancel it.

#include <functional>

#include <QString>
#include <QStringList>

#include "report/painter/report_painter.h"

class QWidget;

namespace trelvan {

// A progress for work on the window's thread: a modal progress dialog over `parent`
// that stays hidden unless the work runs longer than about half a second, and
// whose 取消 makes the progress answer false. The dialog lives as long as the
// returned function (or a copy of it).
PaintProgress progressDialog(QWidget* parent, const QString& label);

// What an export asks of the system, replaceable in tests.
struct ExportHooks {
    // Where to save; empty when the operator cancels.
    std::function<QString(QWidget* parent)> chooseFile;
    // The progress of the writing.
    std::function<PaintProgress(QWidget* parent, const QString& label)> progress = progressDialog;
};

}  // namespace trelvan
