#include "report/painter/report_painter.h"

#include <QFont>
#include <QPagedPaintDevice>

namespace trelvan {

void installFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")});
}

QString paintReport(const Report&, QPagedPaintDevice&) { return QStringLiteral("打印尚未实现"); }

QString writeReportPdf(const Report&, const QString&) { return QStringLiteral("PDF 输出尚未实现"); }

}  // namespace trelvan
