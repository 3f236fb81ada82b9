#pragma once
// Draws a laid-out chain plot on any QPainter (a widget, an image, an SVG or a PDF)
// and writes it to a file. The layout is decided in the core; this only maps its
// millimetres to the device and picks pens, brushes and the font.

#include <optional>

#include <QRectF>
#include <QString>

#include "plot/plot.h"
#include "report/painter/report_painter.h"

class QPainter;

namespace trelvan::plot {

// Text widths in the plot's font (the report's Song face), in millimetres. The
// measure keeps the widths of the characters it has met; use each one in one
// thread at a time.
TextWidth fontTextWidth();

// The paper the files are written on: A4, landscape when the chain is wider than
// tall, with names measured in the plot's font.
PageSetup paperSetup(const ChainFigure& figure);

// Paints the plot's page into `target` (device coordinates), scaled uniformly and
// centred: a white page, the chain clipped to its drawing area, then the texts.
// Told of progress in drawn items (plotWork in all); false when it was asked to
// stop before the end.
bool paintPlot(QPainter& painter, const Plot& plot, const QRectF& target, const PaintProgress& progress = {});

// The items paintPlot draws: lines, outlines, markers, fills and texts.
int plotWork(const Plot& plot);

enum class PlotFormat { Svg, Png, Pdf };

// The format a file name asks for by its extension (.svg, .png, .pdf, in any
// case); empty for any other.
std::optional<PlotFormat> plotFormatOf(const QString& fileName);

// Writes the plot as SVG (names as searchable text), PNG (at `dotsPerInch`) or a
// one-page PDF of the plot's page size with its font embedded. The file is written
// under a temporary name and renamed into place only when complete, so a failure,
// or a stop asked for by `progress`, leaves an older file untouched and no partial
// one. Empty on success, else a Chinese message naming the file and the failure.
QString writePlot(const Plot& plot, const QString& fileName, PlotFormat format, int dotsPerInch = 200,
                  const PaintProgress& progress = {});

// The figure on paperSetup's page, in the format the file name's extension asks for.
QString writePlot(const ChainFigure& figure, const QString& fileName, const PaintProgress& progress = {});

}  // namespace trelvan::plot
