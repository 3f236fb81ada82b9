#include "window/coordinate_export_action.h"

#include <QFile>

#include "window/qt_seams.h"

namespace trelvan {

ExportHooks coordinateExportHooks(exports::Format format) {
    ExportHooks hooks;
    hooks.chooseFile = [format](QWidget* parent, const QString& suggested) {
        switch (format) {
            case exports::Format::CassData:
                return chooseSaveFile(parent, QStringLiteral("导出坐标为 CASS 数据文件"),
                                      {QStringLiteral("CASS 数据文件 (*.dat)")}, suggested);
            case exports::Format::Csv:
                return chooseSaveFile(parent, QStringLiteral("导出坐标为 CSV 文件"), {QStringLiteral("CSV 文件 (*.csv)")},
                                      suggested);
            case exports::Format::Dxf:
                return chooseSaveFile(parent, QStringLiteral("导出坐标为 DXF 文件"), {QStringLiteral("DXF 文件 (*.dxf)")},
                                      suggested);
        }
        return QString();
    };
    return hooks;
}

Proposed proposedFor(exports::Format format) {
    switch (format) {
        case exports::Format::CassData: return Proposed::CassData;
        case exports::Format::Csv: return Proposed::CoordinateCsv;
        case exports::Format::Dxf: return Proposed::Drawing;
    }
    return Proposed::CassData;
}

void exportCoordinates(QWidget* parent, const ChainState& record, exports::Format format, Messages& messages,
                       const ExportHooks& hooks, const QString& suggested) {
    if (!record.hasResult()) {
        messages.say(exports::noResultToExport);
        return;
    }
    runExport(parent, hooks, messages, QStringLiteral("正在导出坐标"), suggested,
              [&](const QString& fileName, const PaintProgress& progress) {
                  const exports::Outcome outcome =
                      exports::exportCoordinates(record, format, QFile::encodeName(fileName).toStdString(), progress);
                  ExportOutcome told;
                  told.stopped = outcome.kind == exports::Outcome::Kind::Stopped;
                  (outcome.written() ? told.written : told.failure) = QString::fromStdString(outcome.message);
                  return told;
              });
}

}  // namespace trelvan
