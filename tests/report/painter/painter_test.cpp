#include <gtest/gtest.h>

#include <QBuffer>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <map>

#include "report/painter/report_painter.h"
#include "report/painter/pdf_reader.h"
#include "report/sample_chain.h"

namespace trelvan {
namespace {

using testing::chainOf;
using testing::PdfPages;
using testing::PdfWord;
using testing::readPdfWords;
using testing::runTool;

constexpr double pointsPerMillimetre = 72.0 / 25.4;
const double margin = pdfMarginMillimetres * pointsPerMillimetre;

// The average character width and line height, in points, of the report font as
// the PDF device measures it.
struct FontMeasure {
    double column, line;
};
FontMeasure measure(int pointSize) {
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter device(&sink);
    device.setResolution(1200);
    QFont font(QString::fromUtf8(reportFontFamily));
    font.setPointSize(pointSize);
    const QFontMetricsF metrics(font, &device);
    return {metrics.averageCharWidth() * 72.0 / 1200.0, metrics.height() * 72.0 / 1200.0};
}

// Left edge of tab column n in the body font, in points from the page's edge.
double columnAt(int n) { return margin + (n - 1) * measure(10).column; }

ChainState namedChain(int n) {
    ChainState s = chainOf(n);
    s.pointName.front() = "甲";
    s.pointName.back() = "乙";
    return s;
}

std::vector<PdfWord> wordsNamed(const PdfPages& pages, const std::string& text) {
    std::vector<PdfWord> found;
    for (const auto& w : pages.words)
        if (w.text == text) found.push_back(w);
    return found;
}

// pdffonts lists one font a line under a header; its "emb" column must say yes.
bool everyFontEmbedded(const std::string& listing) {
    const auto header = listing.find("emb");
    const auto firstFont = listing.find('\n', listing.find("---"));
    if (header == std::string::npos || firstFont == std::string::npos) return false;
    const auto lineStart = listing.rfind('\n', header);
    const std::size_t column = lineStart == std::string::npos ? header : header - lineStart - 1;
    int fonts = 0;
    for (std::size_t at = firstFont + 1; at < listing.size();) {
        const auto end = listing.find('\n', at);
        const std::string row = listing.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!row.empty()) {
            if (row.substr(column, 3) != "yes") return false;
            ++fonts;
        }
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return fonts > 0;
}

class ReportPdf : public ::testing::Test {
protected:
    QString write(const ChainState& s, const QString& name = "report.pdf") {
        const QString file = dir.filePath(name);
        const QString failure = writeReportPdf(buildReport(s), file);
        EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        return file;
    }
    QTemporaryDir dir;
};

TEST(ReportFonts, SongFaceWithHalfWidthLatinForTheProgramsFontNames) {
    const QString song = QFontInfo(QFont(QString::fromUtf8(reportFontFamily))).family();
    EXPECT_EQ(song, "AR PL UMing CN");
    EXPECT_EQ(QFontInfo(QFont("SimSun")).family(), song);
    const QString sans = QFontInfo(QFont("MS Sans Serif")).family();
    EXPECT_TRUE(sans == "DejaVu Sans" || sans == "Noto Sans CJK SC") << sans.toStdString();
    // Tab columns fit the page only when a Latin character is half an em wide.
    EXPECT_NEAR(measure(10).column, 5.0, 0.1);
    EXPECT_NEAR(measure(12).column, 6.0, 0.1);
}

TEST_F(ReportPdf, OnePageA4WithTheFontEmbeddedAndTheTextReadable) {
    const ChainState s = namedChain(4);
    const QString file = write(s);

    const std::string info = runTool("pdfinfo", {file});
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    const std::string fonts = runTool("pdffonts", {file});
    EXPECT_NE(fonts.find("UMing"), std::string::npos) << fonts;
    EXPECT_TRUE(everyFontEmbedded(fonts)) << fonts;

    const std::string text = runTool("pdftotext", {"-layout", file, "-"});
    const Report report = buildReport(s);
    const std::string& title = report.front().items.front().text;
    EXPECT_NE(text.find(title), std::string::npos) << text;
    for (const auto& name : s.pointName) EXPECT_NE(text.find(name + ";"), std::string::npos) << name;
    EXPECT_NE(text.find("s( 9 )=109.0000"), std::string::npos) << text;
    EXPECT_NE(text.find("1/px="), std::string::npos);
}

TEST_F(ReportPdf, ItemsStandAtTheirTabColumns) {
    const PdfPages pages = readPdfWords(write(namedChain(4)));
    ASSERT_EQ(pages.count, 1);
    ASSERT_FALSE(pages.words.empty());

    // The first item starts at the set-up position, 2000 twips in and 1000 down.
    const PdfWord& first = pages.words.front();
    EXPECT_EQ(first.text, "---");
    EXPECT_NEAR(first.xMin, margin + 100.0, 0.5);
    EXPECT_NEAR(first.yMin, margin + 50.0, 3.0);

    // Everything after it is measured from the printable area's left edge.
    const std::map<std::string, int> columns = {
        {"s(", 24}, {"S(", 47}, {"X", 40}, {"Y", 55}, {"1010.000", 35}, {"2010.000", 50}, {"1050.000", 35}};
    for (const auto& [text, column] : columns) {
        const auto found = wordsNamed(pages, text);
        ASSERT_FALSE(found.empty()) << text;
        for (const auto& w : found) EXPECT_NEAR(w.xMin, columnAt(column), 0.5) << text << " column " << column;
    }
    EXPECT_EQ(wordsNamed(pages, "s(").size(), 9u);
}

// The weights from the instrument are stated on the line under the title, starting
// where the title starts.
TEST_F(ReportPdf, TheWeightsStandUnderTheTitle) {
    ChainState s = namedChain(4);
    s.adjustment.weights = {WeightModel::Kind::Instrument, 2, 2, 2.5, WeightModel::Combine::Linear};
    const PdfPages pages = readPdfWords(write(s));
    const auto weights = wordsNamed(pages, "定权：测距");
    ASSERT_EQ(weights.size(), 1u);
    const PdfWord& title = pages.words.front();
    EXPECT_NEAR(weights[0].xMin, title.xMin, 0.5);
    EXPECT_NEAR(weights[0].yMin - title.yMin, measure(12).line, 3.0);
}

TEST_F(ReportPdf, LongPointNamePushesTheCoordinatesToTheNextLine) {
    ChainState s = chainOf(1);
    s.pointName[1] = "第一号很长的控制点名称";
    const PdfPages pages = readPdfWords(write(s));
    const auto name = wordsNamed(pages, "第一号很长的控制点名称;");
    const auto x = wordsNamed(pages, "1010.000");
    ASSERT_EQ(name.size(), 1u);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_NEAR(x[0].xMin, columnAt(35), 0.5);
    EXPECT_NEAR(x[0].yMin - name[0].yMin, measure(10).line, 0.5);
}

// An item too long for the rest of its line continues below at its own column,
// broken after a Chinese comma where one fits: nothing runs past the paper's edge.
TEST_F(ReportPdf, ALineTooLongForThePaperContinuesBelow) {
    CheckFindings blundered;  // five suspects of five-digit figures, and a sixth
    blundered.middlePoint = "P1";
    for (const char* name : {"Qa", "S1", "S4", "S3", "S7", "S2"}) blundered.suspects.push_back({name, 24916.42});
    std::string name;
    for (int i = 0; i < 120; ++i) name += "测";  // 240 columns without a break
    struct Case {
        std::string name, whole, first, second;  // the item, blanks left out; its lines' starts
        int column;
    } const cases[] = {
        {name, name + ";", "测", "测", 25},
        {"P1", "可疑观测:Qa(24916.42)、S1(24916.42)、S4(24916.42)、S3(24916.42)、S7(24916.42)，共6个", "可疑观测", "S7", 24},
    };
    for (const Case& c : cases) {
        ChainState s = chainOf(1);
        s.pointName[1] = c.name;
        const QString file = dir.filePath("long.pdf");
        ASSERT_EQ(writeReportPdf(buildReport(s, blundered), file), QString());
        const PdfPages pages = readPdfWords(file);
        std::string all;
        for (const PdfWord& w : pages.words) {
            EXPECT_LE(w.xMax, pages.width - margin + 0.5) << w.text;
            all += w.text;
        }
        EXPECT_NE(all.find(c.whole), std::string::npos) << all;
        const auto startsWith = [](const std::string& p) { return [&p](const PdfWord& w) { return w.text.rfind(p, 0) == 0; }; };
        const auto first = std::find_if(pages.words.begin(), pages.words.end(), startsWith(c.first));
        ASSERT_NE(first, pages.words.end());
        const auto second = std::find_if(first + 1, pages.words.end(), startsWith(c.second));
        ASSERT_NE(second, pages.words.end());
        EXPECT_NEAR(second->yMin - first->yMin, measure(10).line, 0.5);
        EXPECT_NEAR(second->xMin, columnAt(c.column), 0.5);
    }
}

TEST_F(ReportPdf, LongChainContinuesOnFullPages) {
    // 141 side lines and 72 point lines: with this chain every page break falls
    // inside the lists of sides and points, where there are no empty lines.
    const int n = 70;
    const PdfPages pages = readPdfWords(write(chainOf(n)));
    ASSERT_EQ(pages.count, 4);
    EXPECT_NEAR(pages.height, 841.89, 0.5);

    const double bottom = pages.height - margin;
    const double line = measure(10).line;
    for (int p = 0; p < pages.count; ++p) {
        double top = 1e9, lowest = 0;
        for (const auto& w : pages.words) {
            if (w.page != p) continue;
            top = std::min(top, w.yMin);
            lowest = std::max(lowest, w.yMax);
        }
        ASSERT_LT(top, 1e9) << "page " << p << " is empty";
        EXPECT_LE(lowest, bottom + 0.5) << "page " << p;
        // Each page starts at the set-up top and is filled before the next begins.
        EXPECT_NEAR(top, margin + 50.0, 3.0) << "page " << p;
        if (p + 1 < pages.count) {
            EXPECT_GT(lowest + line, bottom - 1.0) << "page " << p;
        }
    }

    // No line is lost at a page break: every side and point, in order.
    std::vector<std::string> points;
    int sides = 0;
    for (const auto& w : pages.words) {
        if (w.text == "s(") ++sides;
        if (!w.text.empty() && w.text.back() == ';') points.push_back(w.text);
    }
    EXPECT_EQ(sides, 2 * n + 1);
    ASSERT_EQ(points.size(), static_cast<std::size_t>(n + 2));
    for (int i = 0; i <= n + 1; ++i) EXPECT_EQ(points[static_cast<std::size_t>(i)], "P" + std::to_string(i) + ";");
}

TEST_F(ReportPdf, FailureNamesTheFileAndLeavesNothingBehind) {
    const QString file = dir.filePath("missing-folder/report.pdf");
    const QString failure = writeReportPdf(buildReport(chainOf(1)), file);
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_TRUE(failure.contains(file)) << failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));

    // Writing again over an existing report replaces it whole.
    const QString again = write(chainOf(1), "again.pdf");
    const qint64 small = QFileInfo(again).size();
    write(chainOf(30), "again.pdf");
    EXPECT_GT(QFileInfo(again).size(), small);
    EXPECT_EQ(readPdfWords(again).count, 2);
}

}  // namespace
}  // namespace trelvan
