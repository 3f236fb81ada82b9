#pragma once
// Lays the report's lines on a printer or a PDF, and maps the program's font names
// ("宋体", "MS Sans Serif") to installed faces. The one Qt piece both shells share.

#include <functional>
#include <optional>

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QString>

#include "report/page_foot.h"
#include "report/report.h"

class QIODevice;
class QPageLayout;
class QPagedPaintDevice;
class QPainter;
class QPdfWriter;

namespace trelvan {

// The font the report is printed in, mapped to an installed face below.
inline constexpr const char* reportFontFamily = "宋体";

// The margins of the PDF page: its printable area, from which the report's
// positions and columns are measured.
inline constexpr double pdfMarginMillimetres = 10.0;

// Maps "宋体"/"SimSun" to a Song-style CJK face and "MS Sans Serif" to a sans face.
// Call after the application object exists; only the first call installs them.
void installFontSubstitutions();

// The installed face the report's font name maps to, found once (the substitutions
// installed first): the face a plot is drawn and measured in, and the one an SVG
// names, so that a viewer can find it. Only once the application object exists.
const QString& reportFace();

// Texts set in boxes one em high, in black: the font's em is the box's height, and
// each line stands centred in its box, its ascent and descent as far from the top
// as from the bottom. The font is changed only when the em does.
class BoxedTexts {
public:
    // `groupEachText`: the font is set again before every text, so that an SVG holds
    // each text in a group of its own.
    BoxedTexts(QPainter& painter, const QString& family, bool groupEachText);

    // `text` in the box whose top left is `boxTopLeft`, `emDevice` high, in the
    // painter's device coordinates.
    void draw(QPointF boxTopLeft, double emDevice, const QString& text);

private:
    QPainter& painter_;
    QFont font_;
    bool groupEachText_;
    double em_ = -1;
    std::optional<QFontMetricsF> metrics_;
};

// Told now and then how much of a long piece of painting is done, out of how much;
// returns false to stop it.
using PaintProgress = std::function<bool(int done, int total)>;

// What painting the report's pages came to: the pages it used, or why it stopped.
struct PaintedPages {
    int pages = 0;
    QString failure;       // empty when every line was painted
    bool stopped = false;  // the progress asked to stop
};

// How the report's pages are numbered in their feet: the feet's texts, the number
// of the report's first page in the document, and the document's pages (0: as many
// as the report takes).
struct PageNumbering {
    PageFoot foot;
    int firstPage = 1;
    int pages = 0;
};

// The pages the report takes on `device`, exactly as painting it fills them.
int reportPageCount(const Report& report, QPagedPaintDevice& device);

// Paints the report with `painter`, already begun on `device`, from the top of the
// device's current page, exactly as paintReport does; told of progress in lines of
// the report.
PaintedPages paintReportPages(const Report& report, QPainter& painter, QPagedPaintDevice& device,
                              const PaintProgress& progress = {}, const PageNumbering& numbering = {});

// Writes a whole file with `write`, which returns an empty string when it wrote
// everything, else why not. The file is written under a temporary name beside it
// and renamed into place only when complete, so a failure never leaves a partial
// file behind nor destroys an older one. Empty on success, else why it failed.
QString saveWhole(const QString& fileName, const std::function<QString(QIODevice&)>& write);

// Sets up a PDF writer as the program's PDFs are written: at 1200 dots per inch,
// titled and created by the program, on pages laid out as `layout`.
void setUpPdf(QPdfWriter& writer, const QPageLayout& layout);

// Sets up a PDF writer as the report's PDF is written: A4 portrait with margins of
// pdfMarginMillimetres, at 1200 dots per inch, titled with the program's title.
void setUpReportPdf(QPdfWriter& writer);

// Paints the report on a paged device (a QPrinter or a QPdfWriter), from the top
// left of its printable area: the first item 2000 twips from the left and 1000
// twips from the top, tab columns in the current font's average character width,
// a new page when one is full. An item too long for the rest of its line continues
// on the next, at its own column, so that nothing runs off the paper. At the bottom
// of every page, below the report's lines, its foot: `foot` and "第 i 页 共 n 页".
// Returns an empty string on success, or a Chinese message naming the failure.
QString paintReport(const Report& report, QPagedPaintDevice& device, const PageFoot& foot = {});

// Writes the report as an A4 portrait PDF with its fonts embedded, each page with
// its foot. The file is replaced only when the whole report was written. Empty on
// success, else the failure.
QString writeReportPdf(const Report& report, const QString& fileName, const PageFoot& foot = {});

}  // namespace trelvan
