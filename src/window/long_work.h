#pragma once
// What the window's exports ask of the operator: the patience for work that takes
// long, shown in a progress dialog that can cancel it.

#include <functional>

#include <QString>
#include <QStringList>

#include "report/painter/report_painter.h"

class QWidget;

namespace trelvan {

class Messages;

// A progress for work on the window's thread: a modal progress dialog over `parent`
// that stays hidden unless the work runs longer than about half a second, and
// whose 取消 makes the progress answer false. The dialog lives as long as the
// returned function (or a copy of it).
PaintProgress progressDialog(QWidget* parent, const QString& label);

// What an export asks of the system, replaceable in tests.
struct ExportHooks {
    // Where to save, proposing `suggested`; empty when the operator cancels.
    std::function<QString(QWidget* parent, const QString& suggested)> chooseFile;
    // The progress of the writing.
    std::function<PaintProgress(QWidget* parent, const QString& label)> progress = progressDialog;
};

// How an export ended: written (with what to say), failed (with why), or stopped by
// the operator, which leaves no file and nothing to say.
struct ExportOutcome {
    bool stopped = false;
    QString failure;
    QString written;
};

// An export from the window: asks where to save (proposing `suggested`), writes
// under a progress dialog labelled `working` and the file's name, and says the
// outcome once that dialog is gone: a written file as information, a failure as a
// warning, a stop not at all.
void runExport(QWidget* parent, const ExportHooks& hooks, Messages& messages, const QString& working,
               const QString& suggested,
               const std::function<ExportOutcome(const QString& fileName, const PaintProgress& progress)>& write);

}  // namespace trelvan
