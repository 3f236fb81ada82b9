// The plot written as SVG, PNG and PDF: names searchable as text, well-formed XML
// whatever the names hold, the page's size kept, fonts embedded, and files that
// appear whole or not at all.

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <sstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "plot/computed_chain.h"
#include "plot/painter/plot_painter.h"
#include "report/painter/pdf_reader.h"
#include "report/painter/report_painter.h"
#include "state/number_format.h"

namespace trelvan::plot {
namespace {

using testing::computeChain;
using testing::ComputedChain;

// Names that XML and fonts both find awkward, and plain ones.
std::vector<std::string> awkwardNames(int n) {
    std::vector<std::string> names = {"K<07>", "D&1", "\"引号\"", "it's", "GPS北山", "a\x01" "b", "  ", "D东岗1"};
    for (int i = static_cast<int>(names.size()); i <= n + 1; ++i) names.push_back("P" + std::to_string(i));
    names.resize(static_cast<std::size_t>(n) + 2);
    return names;
}

class PlotFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

// Every text element's content, in document order; empty with `ok` false when the
// file is not well-formed XML.
std::vector<std::string> svgTexts(const QString& file, bool& ok) {
    QFile f(file);
    ok = f.open(QIODevice::ReadOnly);
    std::vector<std::string> texts;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts.push_back(xml.readElementText(QXmlStreamReader::IncludeChildElements).toStdString());
    }
    ok = ok && !xml.hasError();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return texts;
}

TEST_F(PlotFiles, SvgHoldsEveryNameAsTextAndIsWellFormed) {
    const int n = 40;
    const ComputedChain c = computeChain(n, 31, 0.2, awkwardNames(n));
    ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
    const ChainFigure f = chainFigure(c.source());
    // A sheet on which no name needs thinning, and the A4 sheet of the files.
    PageSetup wall = paperSetup(f);
    wall.width = wall.height = 3000;
    for (const PageSetup& page : {wall, paperSetup(f)}) {
        const Plot plot = layoutPlot(f, page);
        ASSERT_EQ(writePlot(plot, path("chain.svg"), PlotFormat::Svg), QString());
        bool ok = false;
        const std::vector<std::string> texts = svgTexts(path("chain.svg"), ok);
        ASSERT_TRUE(ok);
        std::multiset<std::string> found(texts.begin(), texts.end());
        for (const Text& name : plot.names) EXPECT_EQ(found.count(name.text), 1u) << name.text;
        EXPECT_EQ(found.count(f.title), 1u);
        if (page.width == wall.width) {
            // Every point with something to show is named: all but the blank one.
            EXPECT_EQ(plot.names.size(), static_cast<std::size_t>(n) + 1);
            for (const char* name : {"K<07>", "D&1", "\"引号\"", "it's", "GPS北山", "a\xEF\xBF\xBD" "b", "D东岗1"})
                EXPECT_EQ(found.count(name), 1u) << name;
        }
    }
}

TEST_F(PlotFiles, SvgStatesThePageSizeInMillimetres) {
    const ComputedChain c = computeChain(5, 2);
    const ChainFigure f = chainFigure(c.source());
    ASSERT_EQ(writePlot(f, path("page.svg")), QString());
    QFile file(path("page.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("svg"))) {
    }
    const PageSetup page = paperFor(f);
    EXPECT_EQ(xml.attributes().value("width").toString().toStdString(), generalNumber(page.width) + "mm");
    EXPECT_EQ(xml.attributes().value("height").toString().toStdString(), generalNumber(page.height) + "mm");
}

TEST_F(PlotFiles, PngAtItsResolutionWithTheChainAndItsEllipsesDrawn) {
    const ComputedChain c = computeChain(20, 8);
    const ChainFigure f = chainFigure(c.source());
    const Plot plot = layoutPlot(f, paperSetup(f));
    ASSERT_EQ(writePlot(plot, path("chain.png"), PlotFormat::Png, 150), QString());
    const QImage image(path("chain.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), qRound(plot.width * 150 / 25.4));
    EXPECT_EQ(image.height(), qRound(plot.height * 150 / 25.4));
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 150, 0.5);
    // Black lines and red ellipses inside the drawing area; white outside the page's
    // texts and frame, at the very corners.
    int black = 0, red = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor p = image.pixelColor(x, y);
            black += p.red() < 60 && p.green() < 60 && p.blue() < 60;
            red += p.red() > 150 && p.green() < 90 && p.blue() < 90;
        }
    }
    EXPECT_GT(black, 500);
    EXPECT_GT(red, 100);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(image.width() - 3, image.height() - 3), QColor(Qt::white));
}

TEST_F(PlotFiles, PdfIsOnePageOfThePlotsSizeWithItsFontEmbedded) {
    const ComputedChain c = computeChain(12, 4, 0.2, awkwardNames(12));
    const ChainFigure f = chainFigure(c.source());
    const Plot plot = layoutPlot(f, paperSetup(f));
    ASSERT_EQ(writePlot(plot, path("chain.pdf"), PlotFormat::Pdf), QString());
    const testing::PdfPages pdf = testing::readPdfWords(path("chain.pdf"));
    EXPECT_EQ(pdf.count, 1);
    EXPECT_NEAR(pdf.width, plot.width / 25.4 * 72, 0.5);
    EXPECT_NEAR(pdf.height, plot.height / 25.4 * 72, 0.5);
    std::string words;
    for (const auto& w : pdf.words) words += w.text + " ";
    for (const Text& name : plot.names) {
        if (name.text.find('&') != std::string::npos || name.text.find('<') != std::string::npos ||
            name.text.find('"') != std::string::npos || name.text.find('\'') != std::string::npos)
            continue;  // pdftotext writes these as entities
        EXPECT_NE(words.find(name.text), std::string::npos) << name.text;
    }
    // Every font embedded: the "emb" column, fifth from the end of each font's line.
    const std::string fonts = testing::runTool("pdffonts", {path("chain.pdf")});
    EXPECT_NE(fonts.find("UMing"), std::string::npos) << fonts;
    std::istringstream lines(fonts);
    int listed = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        if (++listed <= 2 || w.size() < 5) continue;  // the heading and its rule
        EXPECT_EQ(w[w.size() - 5], "yes") << line;
    }
    EXPECT_GT(listed, 2);
}

TEST_F(PlotFiles, FailuresNameTheFileAndLeaveNothingBehind) {
    const ComputedChain c = computeChain(3, 6);
    const ChainFigure f = chainFigure(c.source());
    for (const char* name : {"missing/x.svg", "missing/x.png", "missing/x.pdf"}) {
        const QString file = path(name);
        const QString failure = writePlot(f, file);
        EXPECT_TRUE(failure.contains(file)) << failure.toStdString();
        EXPECT_FALSE(QFileInfo::exists(file));
    }
    // Any other extension is refused before anything is written.
    for (const char* name : {"plot.txt", "plot", "plot.svg.bak", "plot.jpeg"}) {
        const QString failure = writePlot(f, path(name));
        EXPECT_TRUE(failure.contains(".svg")) << name;
        EXPECT_FALSE(QFileInfo::exists(path(name))) << name;
    }
    // Nothing to draw: no file.
    EXPECT_FALSE(writePlot(Plot{}, path("empty.png"), PlotFormat::Png).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path("empty.png")));
    // An older file is replaced whole, and only the file itself is left.
    QFile old(path("again.svg"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ASSERT_EQ(writePlot(f, path("again.svg")), QString());
    EXPECT_GT(QFileInfo(path("again.svg")).size(), 1000);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"again.svg"});
}

TEST(PlotFormat, TakenFromTheExtensionInAnyCase) {
    const std::map<QString, std::optional<PlotFormat>> cases = {
        {"a.svg", PlotFormat::Svg},  {"A.SVG", PlotFormat::Svg},     {"dir.x/b.png", PlotFormat::Png},
        {"c.Pdf", PlotFormat::Pdf},  {"d.jpg", std::nullopt},        {"svg", std::nullopt},
        {"e.svgz", std::nullopt},    {"f.pdf.tmp", std::nullopt},    {"", std::nullopt},
    };
    for (const auto& [name, format] : cases) EXPECT_EQ(plotFormatOf(name), format) << name.toStdString();
}

// The core lays names out with widths from this measure; the painter sets them in
// the same font. They must agree, or thinned names would still touch on paper.
TEST(PlotFont, MeasuredWidthsAreTheWidthsTheNamesAreSetIn) {
    const TextWidth measure = fontTextWidth();
    QFont font(QFontInfo(QFont(QString::fromUtf8(reportFontFamily))).family());
    font.setPixelSize(300);
    const QFontMetricsF metrics(font);
    for (const char* name : {"K07", "P16381", "北山", "东岗三角点", "WAVE-17b", "Ta", "il1|"}) {
        const double set = metrics.horizontalAdvance(QString::fromUtf8(name)) / 300 * 3;
        EXPECT_NEAR(measure(name, 3), set, 0.005 * set) << name;
    }
    EXPECT_EQ(measure("", 3), 0);
}

}  // namespace
}  // namespace trelvan::plot
