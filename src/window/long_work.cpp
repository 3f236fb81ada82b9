#include "window/long_work.h"

#include <algorithm>
#include <memory>

#include <QPointer>
#include <QProgressDialog>

#include "entry/interfaces.h"
#include "state/constants.h"

namespace trelvan {

namespace {

// The dialog shows itself only when the work is still running after this long.
constexpr int quietMilliseconds = 500;

}  // namespace

PaintProgress progressDialog(QWidget* parent, const QString& label) {
    // Deleted with the last copy of the progress, or with its parent if that goes first.
    struct Owner {
        QPointer<QProgressDialog> dialog;
        ~Owner() { delete dialog.data(); }
    };
    auto owner = std::make_shared<Owner>();
    owner->dialog = new QProgressDialog(label, QStringLiteral("取消"), 0, 1, parent);
    QProgressDialog* dialog = owner->dialog;
    dialog->setObjectName(QStringLiteral("WorkProgress"));
    dialog->setWindowTitle(QString::fromUtf8(programTitle));
    dialog->setWindowModality(Qt::WindowModal);  // its setValue keeps the window painted
    dialog->setMinimumDuration(quietMilliseconds);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    dialog->setValue(0);
    return [owner](int done, int total) {
        QProgressDialog* dialog = owner->dialog;
        if (dialog == nullptr) return false;  // its window has closed
        if (dialog->maximum() != std::max(total, 1)) dialog->setMaximum(std::max(total, 1));
        dialog->setValue(std::clamp(done, 0, dialog->maximum()));
        return owner->dialog != nullptr && !dialog->wasCanceled();
    };
}

void runExport(QWidget* parent, const ExportHooks& hooks, Messages& messages, const QString& working,
               const QString& suggested,
               const std::function<ExportOutcome(const QString& fileName, const PaintProgress& progress)>& write) {
    const QString fileName = hooks.chooseFile(parent, suggested);
    if (fileName.isEmpty()) return;
    ExportOutcome outcome;
    {
        const PaintProgress progress = hooks.progress(parent, working + QStringLiteral(" ") + fileName + QStringLiteral(" …"));
        outcome = write(fileName, progress);
    }  // the progress dialog is gone before the outcome is said
    if (outcome.stopped) return;
    if (!outcome.failure.isEmpty()) messages.say(outcome.failure.toStdString());
    else messages.inform(outcome.written.toStdString());
}

}  // namespace trelvan
