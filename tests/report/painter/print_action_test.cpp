#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "analysis/findings.h"
#include "report/painter/pdf_reader.h"
#include "report/sample_chain.h"
#include "window/print_action.h"

namespace trelvan {
namespace {

using testing::chainOf;

// Every message in order; `informed` marks those that report a success.
class RecordedMessages : public Messages {
public:
    void say(const std::string& message) override {
        said.push_back(message);
        informed.push_back(false);
    }
    void inform(const std::string& message) override {
        said.push_back(message);
        informed.push_back(true);
    }
    std::vector<std::string> said;
    std::vector<bool> informed;
};

// A printer, an operator and a disk that do as they are told and note what was
// asked of them.
struct FakeSystem {
    QString printer;
    QString printFailure;
    bool saveAsPdf = false;
    QString pdfFile;
    QString pdfFailure;

    std::vector<std::string> calls;
    std::vector<std::string> printed;  // each document, as text
    std::vector<QString> pdfNames;

    PrintHooks hooks() {
        return {
            [this] { calls.push_back("find"); return printer; },
            [this](const Report& r, const PageFoot&, const QString& name) {
                calls.push_back("print " + name.toStdString());
                printed.push_back(renderText(r));
                return printFailure;
            },
            [this](QWidget*, const QString&) { calls.push_back("confirm"); return saveAsPdf; },
            [this](QWidget*, const QString&) { calls.push_back("choose"); return pdfFile; },
            [this](const Report& r, const PageFoot&, const QString& name) {
                calls.push_back("pdf");
                printed.push_back(renderText(r));
                pdfNames.push_back(name);
                return pdfFailure;
            },
        };
    }
};

TEST(PrintAction, BeforeAnyResultSaysSoAndPrintsNothing) {
    FakeSystem system;
    RecordedMessages messages;
    Command3_Click(nullptr, ChainState{}, messages, system.hooks());
    EXPECT_TRUE(system.calls.empty());
    ASSERT_EQ(messages.said.size(), 1u);
}

TEST(PrintAction, PrintsTheSameReportEveryTime) {
    const ChainState record = chainOf(3);
    const std::string expected = renderText(analysis::printedReport(record));
    FakeSystem system;
    system.printer = "PDF";
    RecordedMessages messages;
    Command3_Click(nullptr, record, messages, system.hooks());
    Command3_Click(nullptr, record, messages, system.hooks());
    EXPECT_EQ(system.calls, (std::vector<std::string>{"find", "print PDF", "find", "print PDF"}));
    ASSERT_EQ(system.printed.size(), 2u);
    EXPECT_EQ(system.printed[0], expected);
    EXPECT_EQ(system.printed[1], expected);
    EXPECT_TRUE(messages.said.empty());
    EXPECT_EQ(renderText(analysis::printedReport(record)), expected);
}

TEST(PrintAction, PrinterFailureIsNamed) {
    FakeSystem system;
    system.printer = "Office";
    system.printFailure = QStringLiteral("打印机 Office 报告错误");
    RecordedMessages messages;
    Command3_Click(nullptr, chainOf(1), messages, system.hooks());
    EXPECT_EQ(messages.said, std::vector<std::string>{system.printFailure.toStdString()});
    EXPECT_EQ(messages.informed, std::vector<bool>{false});
    EXPECT_EQ(system.calls, (std::vector<std::string>{"find", "print Office"}));
}

TEST(PrintAction, WithoutAPrinterOffersAPdf) {
    struct Case {
        bool yes;
        QString file, failure;
        std::vector<std::string> calls;
        std::size_t messages;
    } cases[] = {
        {false, "", "", {"find", "confirm"}, 0},
        {true, "", "", {"find", "confirm", "choose"}, 0},  // the file dialog cancelled
        {true, "/tmp/r.pdf", "", {"find", "confirm", "choose", "pdf"}, 1},
        {true, "/tmp/r.pdf", QStringLiteral("磁盘已满"), {"find", "confirm", "choose", "pdf"}, 1},
    };
    const ChainState record = chainOf(2);
    for (const auto& c : cases) {
        FakeSystem system;
        system.saveAsPdf = c.yes, system.pdfFile = c.file, system.pdfFailure = c.failure;
        RecordedMessages messages;
        Command3_Click(nullptr, record, messages, system.hooks());
        EXPECT_EQ(system.calls, c.calls) << c.file.toStdString();
        ASSERT_EQ(messages.said.size(), c.messages);
        if (c.file.isEmpty()) continue;
        EXPECT_EQ(system.pdfNames, std::vector<QString>{c.file});
        EXPECT_EQ(system.printed, std::vector<std::string>{renderText(analysis::printedReport(record))});
        // Success names where the report went, as information; a failure is said as it
        // came, as a warning.
        const std::string expected = c.failure.isEmpty() ? c.file.toStdString() : c.failure.toStdString();
        EXPECT_NE(messages.said[0].find(expected), std::string::npos) << messages.said[0];
        EXPECT_EQ(messages.informed[0], c.failure.isEmpty());
    }
}

TEST(PrintAction, SavesARealPdfWhenThereIsNoPrinter) {
    QTemporaryDir dir;
    const QString file = dir.filePath("报告.pdf");
    PrintHooks hooks = PrintHooks::system();
    hooks.findPrinter = [] { return QString(); };
    hooks.confirm = [](QWidget*, const QString&) { return true; };
    hooks.choosePdfFile = [&](QWidget*, const QString&) { return file; };
    RecordedMessages messages;
    Command3_Click(nullptr, chainOf(4), messages, hooks);
    ASSERT_EQ(messages.said.size(), 1u);
    EXPECT_EQ(testing::readPdfWords(file).count, 1);
}

TEST(PrintAction, UnknownPrinterIsNamed) {
    const QString failure = PrintHooks::system().print(buildReport(chainOf(1)), PageFoot{}, QStringLiteral("no-such-printer"));
    EXPECT_TRUE(failure.contains("no-such-printer")) << failure.toStdString();
}

}  // namespace
}  // namespace trelvan
