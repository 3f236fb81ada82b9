// A desktop that writes a decimal comma (de_DE, fr_FR, ru_RU …) changes no figure:
// a whole run in the window and its printed report read exactly as the batch run
// of the same replies recorded in the golden files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "report/painter/pdf_reader.h"
#include "report/painter/report_painter.h"
#include "report/report.h"
#include "support/decimal_comma_locale.h"
#include "support/scripted.h"
#include "window/golden_files.h"
#include "window/main_form.h"

namespace trelvan {
namespace {

using testing::goldenFile;
using testing::linesOf;

// Every decimal number of a text, in order: "s( 1 )=601.5440 …" gives "601.5440", ….
std::vector<std::string> decimals(const std::string& text) {
    static const std::regex number(R"(-?[0-9]+\.[0-9]+)");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
    return found;
}

TEST(DecimalCommaDesktop, TheWindowAndThePrintedReportShowTheFiguresOfTheBatchRun) {
    const std::string name = "run_typed_n4";
    // What each box showed last in the batch run, and the report it wrote.
    std::map<int, std::string> expectedBoxes;
    for (const auto& line : linesOf(goldenFile(name + ".transcript"))) {
        static const std::regex box(R"(^Text([0-9]+): (.*)$)");
        std::smatch m;
        if (std::regex_match(line, m, box)) expectedBoxes[std::stoi(m[1])] = m[2];
    }
    const std::string expectedReport = goldenFile(name + ".report.txt");
    ASSERT_GT(expectedBoxes.size(), 25u);
    ASSERT_FALSE(expectedReport.empty());

    const testing::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active()) << testing::DecimalCommaLocale::missing;

    testing::Harness h;
    for (const auto& line : linesOf(goldenFile(name + ".replies"))) h.prompter.add(line);
    for (int i = 0; i < 6; ++i) h.prompter.add("");  // the listing of A, the four points and B
    MainForm form;
    form.setPrompter(&h.prompter);
    form.setMessages(&h.messages);
    form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    ASSERT_TRUE(h.messages.said.empty()) << h.messages.said.front();
    ASSERT_TRUE(form.record().hasResult());

    for (const auto& [n, text] : expectedBoxes) {
        const auto* edit = form.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n));
        ASSERT_NE(edit, nullptr) << n;
        EXPECT_EQ(edit->text().toStdString(), text) << "Text" << n;
    }

    // Printed: the report handed to the printer, and the page it puts on paper.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    std::string printed;
    PrintHooks hooks;
    hooks.findPrinter = [] { return QStringLiteral("Office"); };
    hooks.print = [&](const Report& report, const PageFoot&, const QString&) {
        printed = renderText(report);
        return writeReportPdf(report, pdf);
    };
    form.setPrintHooks(hooks);
    form.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    ASSERT_TRUE(h.messages.said.empty()) << h.messages.said.front();
    EXPECT_EQ(printed, expectedReport);

    const testing::PdfPages pages = testing::readPdfWords(pdf);
    ASSERT_EQ(pages.count, 1);
    EXPECT_EQ(pages.width, 595);  // A4 in whole points
    EXPECT_EQ(pages.height, 842);
    // Word positions have decimals, read back with a full stop whatever the locale.
    EXPECT_TRUE(std::any_of(pages.words.begin(), pages.words.end(),
                            [](const testing::PdfWord& w) { return w.xMin != std::trunc(w.xMin); }));
    // The same figures on paper as in the report; the page is read column by column.
    std::string words;
    for (const auto& w : pages.words) words += w.text + " ";
    auto onPaper = decimals(words), inReport = decimals(expectedReport);
    std::sort(onPaper.begin(), onPaper.end());
    std::sort(inReport.begin(), inReport.end());
    EXPECT_EQ(onPaper, inReport);
    EXPECT_GT(onPaper.size(), 40u);
}

}  // namespace
}  // namespace trelvan
