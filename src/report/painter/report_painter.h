#pragma once
// Lays the report's lines on a printer or a PDF, and maps the program's font names
// ("宋体", "MS Sans Serif") to installed faces. The one Qt piece both shells share.

#include <QString>

#include "report/report.h"

class QPagedPaintDevice;

namespace trelvan {

// Maps "宋体"/"SimSun" to a Song-style CJK face and "MS Sans Serif" to a sans face.
// Call once after the application object exists.
void installFontSubstitutions();

// Paints the report on an open paged device (a QPrinter or a QPdfWriter). Returns
// an empty string on success, or a Chinese message naming the failure.
QString paintReport(const Report& report, QPagedPaintDevice& device);

// Writes the report as an A4 portrait PDF. Empty on success, else the failure.
QString writeReportPdf(const Report& report, const QString& fileName);

}  // namespace trelvan
