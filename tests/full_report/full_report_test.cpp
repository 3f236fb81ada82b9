// The full report read back from its PDF: the printed report's pages unchanged,
// then the analysis with every point's name, then the plot on a page of its own;
// every page numbered out of the whole and dated; fonts embedded; and a
// stopped or failed writing that leaves nothing behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "analysis/chain_precision.h"
#include "analysis/findings.h"
#include "analysis/tables.h"
#include "full_report/full_report.h"
#include "job/job.h"
#include "plot/computed_chain.h"
#include "plot/plot.h"
#include "report/painter/pdf_reader.h"
#include "state/number_format.h"

namespace trelvan {
namespace {

using testing::runTool;

int pageCount(const QString& pdf) {
    std::smatch m;
    const std::string info = runTool("pdfinfo", {pdf});
    return std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

// Width and height of page `page` (from 1), in points.
std::pair<double, double> pageSize(const QString& pdf, int page) {
    const QString p = QString::number(page);
    std::smatch m;
    const std::string info = runTool("pdfinfo", {"-f", p, "-l", p, pdf});
    if (!std::regex_search(info, m, std::regex(R"(size:\s+([0-9.]+) x ([0-9.]+) pts)"))) return {};
    return {testing::pdfNumber(m[1]), testing::pdfNumber(m[2])};
}

// The text of pages first..last, laid out as on the page.
std::string pagesText(const QString& pdf, int first, int last) {
    return runTool("pdftotext", {"-layout", "-f", QString::number(first), "-l", QString::number(last), pdf, "-"});
}

// The text of a page without its foot, the line that numbers it.
std::string withoutFoot(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([^\n]*第 \d+ 页 共 \d+ 页[^\n]*)"), "");
}

// The worked example, and a chain long enough for several pages of each part.
std::vector<testing::ComputedChain> chains() {
    std::vector<testing::ComputedChain> c;
    testing::ComputedChain n4;
    n4.outcome = testing::runReplies(
        n4.record, {"4", "", "3452118.406", "", "512637.225", "", "3452701.525", "", "515088.829", "", "0", "", "0",
                    "", "0", "", "0", "", "312.2415", "", "160.23026", "", "77.43016", "", "-63.29474", "", "2.5",
                    "K07", "D1", "D2", "D3", "D4", "K08", "601.544", "", "-848.482", "", "769.475", "", "1101.074",
                    "", "796.970", "", "-1049.501", "", "735.633", "", "1049.576", "", "799.645", ""});
    c.push_back(std::move(n4));
    c.push_back(testing::computeChain(70, 12, 0.25, {"GPS北山", "D东岗1"}));
    // The worked example measured with a distance meter, one side over 25 ppm.
    testing::ComputedChain measured;
    testing::Harness h;
    measured.outcome = computeJob(readJobFile(TRELVAN_SOURCE_DIR "/tests/golden/job_measured_n4.trv").job,
                                  measured.record, h.boxes, h.messages);
    c.push_back(std::move(measured));
    return c;
}

TEST(FullReport, TheReportUnchangedThenTheAnalysisThenThePlot) {
    for (const testing::ComputedChain& c : chains()) {
        ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
        const ChainState& record = c.record;
        SCOPED_TRACE("N = " + std::to_string(record.N));
        QTemporaryDir dir;
        const QString printed = dir.filePath("printed.pdf"), full = dir.filePath("full.pdf");
        // As 打 印 prints it: dated, each page numbered.
        ASSERT_EQ(writeReportPdf(analysis::printedReport(record), printed, pageFootOf(record, {})), QString());
        int calls = 0, lastDone = -1, lastTotal = 0;
        const FullReportOutcome outcome = writeFullReportPdf(record, full, [&](int done, int total) {
            EXPECT_GE(done, lastDone);
            ++calls, lastDone = done, lastTotal = total;
            return true;
        });
        ASSERT_TRUE(outcome.written()) << outcome.message.toStdString();
        EXPECT_GT(calls, 0);
        EXPECT_EQ(lastDone, lastTotal);

        // Page count: the printed report's pages, the reduction's when a side was
        // measured, the analysis pages and the plot.
        const int reportPages = pageCount(printed), pages = pageCount(full);
        const bool measured = !record.typed.jobOnly.measuredSides.empty();
        EXPECT_EQ(outcome.reportPages, reportPages);
        EXPECT_EQ(outcome.reductionPages, measured ? 1 : 0);
        EXPECT_GE(outcome.analysisPages, 1);
        EXPECT_EQ(pages, reportPages + outcome.reductionPages + outcome.analysisPages + 1);
        EXPECT_EQ(outcome.pages, pages);
        if (record.N > 40) {
            EXPECT_GT(reportPages, 1);
        }
        if (record.N > 40) {
            EXPECT_GT(outcome.analysisPages, 1);
        }

        // The report as printed, page for page, its feet aside.
        for (int p = 1; p <= reportPages; ++p) {
            EXPECT_EQ(withoutFoot(pagesText(full, p, p)), withoutFoot(pagesText(printed, p, p))) << "page " << p;
            EXPECT_EQ(pageSize(full, p), pageSize(printed, p));
        }

        // Every page, the report's first ones too: numbered out of the whole and
        // dated, in its foot.
        const std::string date = dateTimeText(record.computedAt);
        for (int p = 1; p <= pages; ++p) {
            const std::string text = pagesText(full, p, p);
            const std::string number = "第 " + std::to_string(p) + " 页 共 " + std::to_string(pages) + " 页";
            EXPECT_NE(text.find(number), std::string::npos) << "page " << p;
            EXPECT_NE(text.find("计算时间：" + date), std::string::npos) << "page " << p;
        }

        // The reduction after the report: every measured side, the one over 25 ppm marked.
        if (measured) {
            const std::string reduction = pagesText(full, reportPages + 1, reportPages + 1);
            for (const char* seen : {"边长归算", "CGCS2000", "S1 ", "S2 ", "S9 ", "超限"})
                EXPECT_NE(reduction.find(seen), std::string::npos) << seen;
            EXPECT_EQ(reduction.find("S4 "), std::string::npos) << "a typed side";
        }

        // Every point by name in the analysis pages.
        const int analysisFrom = reportPages + outcome.reductionPages + 1;
        const std::string analysis = pagesText(full, analysisFrom, analysisFrom + outcome.analysisPages - 1);
        for (const std::string& name : record.pointName)
            EXPECT_NE(analysis.find(name), std::string::npos) << name;

        // The plot alone on the last page: landscape when the chain is wider than tall.
        const plot::ChainFigure figure = plot::recordFigure(record);
        const plot::PageSetup paper = plot::paperFor(figure);
        const auto [w, h] = pageSize(full, pages);
        EXPECT_EQ(w > h, paper.width > paper.height);
        EXPECT_NEAR(std::max(w, h), 297 / 25.4 * 72, 1);
        const std::string plotPage = pagesText(full, pages, pages);
        EXPECT_NE(plotPage.find("比例尺"), std::string::npos);
        EXPECT_EQ(plotPage.find("点位精度"), std::string::npos);

        // Every font embedded: the "emb" column, fifth from the end of each font's line.
        const std::string fonts = runTool("pdffonts", {full});
        std::istringstream lines(fonts);
        int listed = 0;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::vector<std::string> wds{std::istream_iterator<std::string>(words), {}};
            if (++listed <= 2 || wds.size() < 5) continue;
            EXPECT_EQ(wds[wds.size() - 5], "yes") << line;
        }
        EXPECT_GT(listed, 2);
    }
}

// Stopped at any point of the writing (in the report, the tables or the plot), or
// failed, the full report stops at once and leaves no file and no temporary behind,
// and an older file of that name as it was.
TEST(FullReport, AStoppedOrFailedWritingLeavesNothingBehind) {
    const testing::ComputedChain c = testing::computeChain(70, 3);
    ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
    QTemporaryDir dir;
    const QString file = dir.filePath("report.pdf");
    // The points at which the writing tells its progress, and may be stopped.
    int total = 0;
    std::vector<int> points;
    ASSERT_TRUE(writeFullReportPdf(c.record, file, [&](int done, int t) {
                    points.push_back(done);
                    return total = t, true;
                }).written());
    // The work: the report's lines, then the analysis tables' rows, then the plot.
    const int reportLines = static_cast<int>(analysis::printedReport(c.record).size());
    int tableRows = 0;
    for (const analysis::Table& t : analysis::analysisTables(*analysis::analyse(c.record)))
        tableRows += static_cast<int>(t.rows.size());
    const int tablesEnd = reportLines + tableRows;
    for (double share : {0.0, 0.5 * reportLines / total, (reportLines + 1.0) / total, 0.6, 0.99}) {
        SCOPED_TRACE(share);
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("older report");
        old.close();
        const int stopAt = static_cast<int>(std::lround(share * total));
        // It stops at the first point past the stop, in the report, the tables or the
        // plot alike, and the progress is not asked again.
        int stoppedAt = -1, askedAfter = 0;
        const FullReportOutcome outcome = writeFullReportPdf(c.record, file, [&](int done, int) {
            if (stoppedAt >= 0) ++askedAfter;
            else if (done >= stopAt) stoppedAt = done;
            return done < stopAt;
        });
        EXPECT_EQ(outcome.kind, FullReportOutcome::Kind::Stopped);
        EXPECT_EQ(stoppedAt, *std::lower_bound(points.begin(), points.end(), stopAt));
        if (stopAt > reportLines && stopAt <= tablesEnd) {
            EXPECT_LE(stoppedAt, tablesEnd) << "not in the tables";
        }
        EXPECT_EQ(askedAfter, 0);
        EXPECT_EQ(outcome.pages, 0);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"report.pdf"});
        QFile kept(file);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("older report"));
    }

    const QString missing = dir.filePath("missing/report.pdf");
    const FullReportOutcome failed = writeFullReportPdf(c.record, missing);
    EXPECT_EQ(failed.kind, FullReportOutcome::Kind::Failed);
    EXPECT_TRUE(failed.message.contains(missing)) << failed.message.toStdString();

    const FullReportOutcome none = writeFullReportPdf(ChainState{}, dir.filePath("none.pdf"));
    EXPECT_EQ(none.kind, FullReportOutcome::Kind::Failed);
    EXPECT_FALSE(QFile::exists(dir.filePath("none.pdf")));
}

}  // namespace
}  // namespace trelvan
