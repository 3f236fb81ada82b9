#pragma once
// Lays the report's lines on a printer or a PDF, and maps the program's font names
// ("宋体", "MS Sans Serif") to installed faces. The one Qt piece both shells share.

#include <QString>

#include "report/report.h"

class QPagedPaintDevice;

namespace trelvan {

// The font the report is printed in, mapped to an installed face below.
inline constexpr const char* reportFontFamily = "宋体";

// The margins of the PDF page: its printable area, from which the report's
// positions and columns are measured.
inline constexpr double pdfMarginMillimetres = 10.0;

// Maps "宋体"/"SimSun" to a Song-style CJK face and "MS Sans Serif" to a sans face.
// Call once after the application object exists.
void installFontSubstitutions();

// Paints the report on a paged device (a QPrinter or a QPdfWriter), from the top
// left of its printable area: the first item 2000 twips from the left and 1000
// twips from the top, tab columns in the current font's average character width,
// a new page when one is full. Returns an empty string on success, or a Chinese
// message naming the failure.
QString paintReport(const Report& report, QPagedPaintDevice& device);

// Writes the report as an A4 portrait PDF with its fonts embedded. The file is
// replaced only when the whole report was written. Empty on success, else the
// failure.
QString writeReportPdf(const Report& report, const QString& fileName);

}  // namespace trelvan
