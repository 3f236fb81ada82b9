#include "window/full_report_action.h"

#include "full_report/full_report.h"
#include "state/number_format.h"
#include "window/qt_seams.h"

namespace trelvan {

ExportHooks fullReportHooks() {
    ExportHooks hooks;
    hooks.chooseFile = [](QWidget* parent, const QString& suggested) {
        return chooseSaveFile(parent, QStringLiteral("导出完整报告 PDF"), {QStringLiteral("PDF 文件 (*.pdf)")}, suggested);
    };
    return hooks;
}

void exportFullReport(QWidget* parent, const ChainState& record, Messages& messages, const ExportHooks& hooks,
                      const ReportOrigin& origin) {
    if (!record.hasResult()) {
        messages.say("还没有完成的平差计算结果，无法导出完整报告。");
        return;
    }
    runExport(parent, hooks, messages, QStringLiteral("正在写入完整报告"), origin.proposedPdf,
              [&](const QString& fileName, const PaintProgress& progress) {
                  const FullReportOutcome outcome =
                      writeFullReportPdf(record, fileName, progress, origin.jobFile, origin.unsaved);
                  ExportOutcome told;
                  told.stopped = outcome.kind == FullReportOutcome::Kind::Stopped;
                  if (outcome.kind == FullReportOutcome::Kind::Failed) told.failure = outcome.message;
                  told.written = QStringLiteral("完整报告已保存为 %1（共 %2 页）")
                                     .arg(fileName, QString::fromStdString(digits(outcome.pages)));
                  return told;
              });
}

}  // namespace trelvan
