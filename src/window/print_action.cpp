#include "window/print_action.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "analysis/findings.h"
#include "report/painter/report_painter.h"
#include "state/constants.h"
#include "window/qt_seams.h"

namespace trelvan {

namespace {

QString findSystemPrinter() {
    const QPrinterInfo standard = QPrinterInfo::defaultPrinter();
    if (!standard.isNull()) return standard.printerName();
    const QList<QPrinterInfo> installed = QPrinterInfo::availablePrinters();
    return installed.isEmpty() ? QString() : installed.front().printerName();
}

QString printOnSystemPrinter(const Report& report, const PageFoot& foot, const QString& name) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) return QStringLiteral("找不到打印机 %1。").arg(name);
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid()) return QStringLiteral("打印机 %1 无法使用。").arg(name);
    printer.setDocName(QString::fromUtf8(programTitle));
    const QString failure = paintReport(report, printer, foot);
    if (!failure.isEmpty()) return QStringLiteral("打印机 %1：%2").arg(name, failure);
    if (printer.printerState() == QPrinter::Error) {
        return QStringLiteral("打印机 %1 报告错误，报告没有打印出来。").arg(name);
    }
    return {};
}

QString askPdfFileName(QWidget* parent, const QString& suggested) {
    return chooseSaveFile(parent, QStringLiteral("保存报告为 PDF 文件"), {QStringLiteral("PDF 文件 (*.pdf)")}, suggested);
}

}  // namespace

PrintHooks PrintHooks::system() {
    return {findSystemPrinter, printOnSystemPrinter, askYesNo, askPdfFileName,
            [](const Report& report, const PageFoot& foot, const QString& fileName) {
                return writeReportPdf(report, fileName, foot);
            }};
}

void Command3_Click(QWidget* parent, const ChainState& record, Messages& messages, const PrintHooks& hooks,
                    const ReportOrigin& origin) {
    const Report report = analysis::printedReport(record);
    if (report.empty()) {
        messages.say("还没有完成的平差计算结果，无法打印。");
        return;
    }
    const PageFoot foot = pageFootOf(record, origin.jobFile, origin.unsaved);

    const QString printer = hooks.findPrinter();
    if (!printer.isEmpty()) {
        const QString failure = hooks.print(report, foot, printer);
        if (!failure.isEmpty()) messages.say(failure.toStdString());
        return;
    }

    if (!hooks.confirm(parent, QStringLiteral("没有可用的打印机。是否把报告保存为 PDF 文件？"))) return;
    const QString fileName = hooks.choosePdfFile(parent, origin.proposedPdf);
    if (fileName.isEmpty()) return;
    const QString failure = hooks.writePdf(report, foot, fileName);
    if (!failure.isEmpty()) {
        messages.say(failure.toStdString());
        return;
    }
    messages.inform(QStringLiteral("报告已保存为 %1").arg(fileName).toStdString());
}

}  // namespace trelvan
