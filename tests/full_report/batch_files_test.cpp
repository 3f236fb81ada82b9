// Batch mode's --plot and --full-report-pdf, through the real program: the plot's
// type from its extension in any case, any other extension a usage error found
// before anything is computed, and a file that cannot be written reported with
// status 4 while the others are still written.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "report/painter/pdf_reader.h"

namespace trelvan {
namespace {

struct ProgramRun {
    int status = -1;
    QByteArray out, err;
};

ProgramRun runBatch(const QStringList& options, const char* replies = "run_typed_n4") {
    QProcess program;
    program.setStandardInputFile(QStringLiteral(TRELVAN_SOURCE_DIR "/tests/golden/") + replies + ".replies");
    program.start(QStringLiteral(TRELVAN_PROGRAM), QStringList{"--batch"} + options);
    program.waitForFinished(60000);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, program.readAllStandardOutput(),
            program.readAllStandardError()};
}

// Every text element's content of an SVG; empty when it is not well-formed XML.
QStringList svgTexts(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QXmlStreamReader xml(&f);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
    return xml.hasError() ? QStringList() : texts;
}

TEST(BatchPlot, EachTypeFromItsExtensionInAnyCase) {
    QTemporaryDir dir;
    const QString svg = dir.filePath("chain.svg"), png = dir.filePath("chain.PNG"), pdf = dir.filePath("chain.Pdf");
    const ProgramRun r = runBatch({"--plot", svg, "--plot", png});  // the last one of an option counts
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(svg));
    EXPECT_FALSE(QImage(png).isNull());

    ASSERT_EQ(runBatch({"--plot", svg}).status, 0);
    const QStringList texts = svgTexts(svg);
    for (const char* name : {"K07", "D1", "D2", "D3", "D4", "K08"}) EXPECT_TRUE(texts.contains(name)) << name;

    ASSERT_EQ(runBatch({"--plot", pdf}).status, 0);
    EXPECT_EQ(testing::readPdfWords(pdf).count, 1);
}

TEST(BatchPlot, AnyOtherExtensionIsAUsageErrorBeforeAnythingIsComputed) {
    QTemporaryDir dir;
    for (const char* name : {"chain.txt", "chain", "chain.svg.tmp", "chain.jpeg"}) {
        const ProgramRun r = runBatch({"--plot", dir.filePath(name), "--report-text", dir.filePath("report.txt")});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.out.isEmpty()) << name;  // no transcript: nothing was computed
        EXPECT_TRUE(r.err.contains("usage")) << name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList()) << name;
    }
}

// Files that cannot be written give status 4, each said on the transcript; every
// other file asked for is written.
TEST(BatchFiles, AFileNotWrittenGivesStatusFourAndTheOthersAreWritten) {
    QTemporaryDir dir;
    const QString report = dir.filePath("report.txt"), full = dir.filePath("full.pdf"), plot = dir.filePath("plot.svg");
    for (const QStringList& options :
         {QStringList{"--plot", dir.filePath("missing/plot.svg"), "--full-report-pdf", full, "--report-text", report},
          QStringList{"--full-report-pdf", dir.filePath("missing/full.pdf"), "--plot", plot, "--report-text",
                      report},
          QStringList{"--reduction-json", dir.filePath("missing/reduction.json"), "--report-text", report},
          QStringList{"--reduction-text", dir.filePath("missing/reduction.txt"), "--report-text", report}}) {
        QFile::remove(report), QFile::remove(full), QFile::remove(plot);
        const ProgramRun r = runBatch(options);
        EXPECT_EQ(r.status, 4);
        EXPECT_TRUE(r.out.contains("\n! ")) << r.out.right(300).toStdString();
        EXPECT_TRUE(r.out.contains("missing")) << r.out.right(300).toStdString();
        EXPECT_GT(QFileInfo(report).size(), 0);
        EXPECT_EQ(QFileInfo::exists(full), options.contains(full));
        EXPECT_EQ(QFileInfo::exists(plot), options.contains(plot));
        if (options.contains(full)) {
            EXPECT_GT(testing::readPdfWords(full).count, 2);
        }
    }
}

}  // namespace
}  // namespace trelvan
