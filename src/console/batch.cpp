#include "console/batch.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <QByteArray>
#include <QGuiApplication>

#include "adjustment/compute.h"
#include "analysis/chain_precision.h"
#include "analysis/findings.h"
#include "analysis/tables.h"
#include "console/command_line.h"
#include "entry/interfaces.h"
#include "export/coordinates.h"
#include "full_report/full_report.h"
#include "job/job.h"
#include "plot/painter/plot_painter.h"
#include "plot/plot.h"
#include "reduction/reduction.h"
#include "reduction/reduction_table.h"
#include "report/painter/report_painter.h"
#include "report/report.h"
#include "state/constants.h"
#include "state/failure.h"
#include "state/utf8.h"

namespace trelvan {

namespace {

// The transcript goes to standard output through one large buffer.
class Transcript {
public:
    Transcript() { std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16); }
    void line(const char* tag, const std::string& text) {
        std::fputs(tag, stdout);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    }
};

// Reads one reply line from standard input. Keeps at most maxReplyBytes + 1 bytes of
// it, so that an over-long line is recognised without being held whole; the rest
// of such a line is skipped. A trailing CR is dropped.
std::optional<std::string> readLine(std::FILE* in) {
    std::string line;
    bool any = false;
    bool overLong = false;
    int c;
    while ((c = std::getc(in)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() <= maxReplyBytes) line.push_back(static_cast<char>(c));
        else overLong = true;
    }
    if (!any) return std::nullopt;
    if (!overLong && !line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

class StdinPrompter : public Prompter {
public:
    Reply ask(const std::string&) override { return read(false); }
    Reply askPause(const std::string&) override { return read(true); }

private:
    static Reply read(bool endIsEmpty) {
        auto line = readLine(stdin);
        if (!line) {
            if (!endIsEmpty) return Reply::endOfInput();
            line.emplace();
        }
        return Reply::typed(sanitizeUtf8(*line));
    }
};

// Every prompt and every reply read for it, in the transcript.
class TranscribedPrompter : public Prompter {
public:
    TranscribedPrompter(Prompter& replies, Transcript& transcript)
        : replies_(replies), transcript_(transcript) {}
    Reply ask(const std::string& prompt) override {
        transcript_.line("? ", prompt);
        return transcribed(replies_.ask(prompt));
    }
    Reply askPause(const std::string& prompt) override {
        transcript_.line("? ", prompt);
        return transcribed(replies_.askPause(prompt));
    }

private:
    Reply transcribed(Reply reply) {
        if (reply.kind == Reply::Kind::Text) transcript_.line("> ", reply.text);
        return reply;
    }
    Prompter& replies_;
    Transcript& transcript_;
};

class TranscriptBoxes : public TextBoxes {
public:
    explicit TranscriptBoxes(Transcript& transcript) : transcript_(transcript) {}
    void setText(int box, const std::string& text) override {
        transcript_.line((boxName(box) + ": ").c_str(), text);
    }

private:
    Transcript& transcript_;
};

// The program's messages as `!` lines. The last one said is kept: when the action
// ends without completing, it is the reason, which standard error gets too.
class TranscriptMessages : public Messages {
public:
    explicit TranscriptMessages(Transcript& transcript) : transcript_(transcript) {}
    void say(const std::string& message) override {
        transcript_.line("! ", message);
        last_ = message;
    }
    const std::string& last() const { return last_; }

private:
    Transcript& transcript_;
    std::string last_;
};

// A reason for a status other than 0: on standard error, in the words of its `!` line.
void sayOnStandardError(const std::string& reason) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", reason.c_str());
}

// The options that name a file, each with the member it fills. Every one of them
// needs --batch.
struct Options {
    std::string reportText;
    std::string reportPdf;
    std::string analysisText;
    std::string analysisJson;
    std::string fullReportPdf;
    std::string plot;     // .svg, .png or .pdf
    std::string job;      // computed instead of replies on standard input
    std::string saveJob;  // the job of the completed action is written here
    std::string exportDat;  // the coordinates as a CASS data file
    std::string exportCsv;  // the coordinates and their precision as CSV
    std::string exportDxf;  // the chain as a drawing
    std::string reductionText;
    std::string reductionJson;
};

struct FileOption {
    const char* name;
    std::string Options::*file;
};

constexpr FileOption fileOptions[] = {
    {"--report-text", &Options::reportText},
    {"--report-pdf", &Options::reportPdf},
    {"--analysis-text", &Options::analysisText},
    {"--analysis-json", &Options::analysisJson},
    {"--full-report-pdf", &Options::fullReportPdf},
    {"--plot", &Options::plot},
    {"--job", &Options::job},
    {"--save-job", &Options::saveJob},
    {"--export-dat", &Options::exportDat},
    {"--export-csv", &Options::exportCsv},
    {"--export-dxf", &Options::exportDxf},
    {"--reduction-text", &Options::reductionText},
    {"--reduction-json", &Options::reductionJson},
};

// Parses the command line. On a usage error, `error` says what is wrong.
struct ParsedOptions {
    Options options;
    std::string error;
};

ParsedOptions parseOptions(int argc, char** argv) {
    ParsedOptions parsed;
    Options& options = parsed.options;
    bool batch = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--batch") {
            batch = true;
            continue;
        }
        const FileOption* option = nullptr;
        for (const FileOption& candidate : fileOptions)
            if (arg == candidate.name) option = &candidate;
        if (option == nullptr) return {{}, "unknown option " + arg};
        if (i + 1 >= argc || argv[i + 1][0] == '\0') return {{}, arg + " needs a file name"};
        options.*(option->file) = argv[++i];
    }
    if (!batch) return {{}, "the options that name a file need --batch"};
    // The plot's type comes from its extension; any other is a usage error, found
    // before anything is computed.
    if (!options.plot.empty() && !plot::plotFormatOf(QString::fromStdString(options.plot)))
        return {{}, "the file of --plot must end in .svg, .png or .pdf"};
    return parsed;
}

// Batch mode runs Qt only to lay out the PDF. Qt then notes that a desktop session's
// runtime folder is missing, which is true of every headless run and harmless here;
// every other message passes through.
QtMessageHandler passOn = nullptr;
void quietHeadlessNote(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (passOn) passOn(type, context, message);
}

bool writeTextFile(const std::string& fileName, const std::string& text) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

// The precision analysis of the completed action, as text and as JSON. A file that
// cannot be written, or an analysis that fails, is a fault; the other file is still
// written.
void writeAnalysis(const ChainState& record, const Options& options,
                   const std::function<void(const std::string&)>& fault) {
    std::optional<analysis::ChainPrecision> precision;
    try {
        precision = analysis::analyse(record);
    } catch (const ComputeFailure& failure) {
        fault(failure.what());
        return;
    }
    if (!precision) {
        fault("没有可分析的计算结果");
        return;
    }
    const auto notWritten = [&](const std::string& file) { fault("无法写入精度分析文件 " + file); };
    const std::string& text = options.analysisText;
    if (!text.empty() && !writeTextFile(text, analysis::renderAnalysisText(*precision))) notWritten(text);
    // The JSON of a long chain runs to megabytes: it goes to the file as it is written.
    const std::string& json = options.analysisJson;
    if (!json.empty()) {
        std::ofstream out(json, std::ios::binary | std::ios::trunc);
        if (out) {
            analysis::writeAnalysisJson(*precision, [&out](std::string_view part) {
                out.write(part.data(), static_cast<std::streamsize>(part.size()));
            });
            out.close();
        }
        if (!out) notWritten(json);
    }
}

// Qt's font and painting machinery for the files that need it, on the offscreen
// platform whatever the environment says: batch mode needs no display. Made once,
// when the first such file is written, and ended with the run.
class GuiOnDemand {
public:
    void ensure() {
        if (app_) return;
        passOn = qInstallMessageHandler(quietHeadlessNote);
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
        installFontSubstitutions();
    }

private:
    char arg0_[8] = "trelvan", arg1_[10] = "-platform", arg2_[10] = "offscreen";
    char* argv_[4] = {arg0_, arg1_, arg2_, nullptr};
    int argc_ = 3;
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace

bool wantsBatch(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) return true;
    }
    return false;
}

int runBatch(int argc, char** argv) {
    const ParsedOptions parsed = parseOptions(argc, argv);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "trelvan: %s\n", parsed.error.c_str());
        std::fputs(usageText, stderr);
        return exitStatus::usage;
    }
    const Options* options = &parsed.options;

    Transcript transcript;
    TranscriptBoxes boxes(transcript);
    TranscriptMessages messages(transcript);

    // A job is read and checked whole before anything of it is computed; a refused
    // one computes, reports and saves nothing.
    std::unique_ptr<Prompter> replies;
    JobReading reading;  // the job's values that no input box asks for ride with the action
    if (!options->job.empty()) {
        reading = readJobFile(options->job);
        if (!reading.accepted()) {
            const std::string message = refusalMessage(options->job, *reading.problem);
            messages.say(message);
            sayOnStandardError(message);
            return exitStatus::refusedJob;
        }
        // Sides whose reduction asks for another zone are said before anything is asked.
        if (reduction::hasReduction(reading.job.jobOnly)) {
            const std::string warning = reduction::reductionWarning(reading.reduction);
            if (!warning.empty()) messages.say(warning);
        }
        replies = std::make_unique<ReplyListPrompter>(jobReplies(reading.job));
    } else {
        replies = std::make_unique<StdinPrompter>();
    }
    TranscribedPrompter prompter(*replies, transcript);

    ChainState record;
    // An action that does not complete says why last.
    switch (Command1_Click(record, prompter, boxes, messages, reading.job.jobOnly)) {
        case ComputeOutcome::Completed: break;
        case ComputeOutcome::InputEnded: sayOnStandardError(messages.last()); return exitStatus::inputEnded;
        case ComputeOutcome::Failed:
        case ComputeOutcome::Cancelled: sayOnStandardError(messages.last()); return exitStatus::failed;
    }

    // 检核: the findings the surveyor must act on, after the action and on standard
    // error. The report closes with the same findings.
    const CheckFindings findings = analysis::checkFindings(record);
    for (const std::string& finding : findingLines(findings)) {
        messages.say(finding);
        sayOnStandardError(finding);
    }

    GuiOnDemand gui;
    int status = exitStatus::completed;
    // A file not written: said in the transcript and on standard error; the other
    // files are still written.
    const auto notWritten = [&](const std::string& why, int fileStatus = exitStatus::reportNotWritten) {
        messages.say(why);
        sayOnStandardError(why);
        status = fileStatus;
    };
    if (!options->reportText.empty() || !options->reportPdf.empty()) {
        const Report report = buildReport(record, findings);
        if (!options->reportText.empty() && !writeTextFile(options->reportText, renderText(report))) {
            notWritten("无法写入报告文件 " + options->reportText);
        }
        if (!options->reportPdf.empty()) {
            gui.ensure();
            const QString error =
                writeReportPdf(report, QString::fromStdString(options->reportPdf), pageFootOf(record, options->job));
            if (!error.isEmpty()) notWritten(error.toStdString());
        }
    }
    if (!options->analysisText.empty() || !options->analysisJson.empty()) {
        writeAnalysis(record, *options, [&](const std::string& why) { notWritten(why); });
    }
    if (!options->fullReportPdf.empty()) {
        gui.ensure();
        const FullReportOutcome written =
            writeFullReportPdf(record, QString::fromStdString(options->fullReportPdf), {}, options->job);
        if (!written.written()) notWritten(written.message.toStdString());
    }
    if (!options->plot.empty()) {
        gui.ensure();
        // The chain is drawn even when its ellipses cannot be: the plot then says so.
        std::string analysisFailure;
        const plot::ChainFigure figure = plot::recordFigure(record, &analysisFailure);
        if (!analysisFailure.empty()) messages.say("网图中没有误差椭圆：" + analysisFailure);
        const QString error = plot::writePlot(figure, QString::fromStdString(options->plot));
        if (!error.isEmpty()) notWritten(error.toStdString());
    }
    // The coordinates out; a name a format cannot hold refuses that file alone.
    for (const auto& [file, format] : {std::pair{&options->exportDat, exports::Format::CassData},
                                       std::pair{&options->exportCsv, exports::Format::Csv},
                                       std::pair{&options->exportDxf, exports::Format::Dxf}}) {
        if (file->empty()) continue;
        const exports::Outcome outcome = exports::exportCoordinates(record, format, *file);
        if (!outcome.written()) notWritten(outcome.message);
    }
    if (!options->reductionText.empty() || !options->reductionJson.empty()) {
        const reduction::Reduction reduced = reduction::reduce(record.typed);
        const std::pair<const std::string*, std::string (*)(const reduction::Reduction&)> files[] = {
            {&options->reductionText, reduction::reductionText}, {&options->reductionJson, reduction::reductionJson}};
        for (const auto& [file, render] : files) {
            if (file->empty()) continue;
            if (const auto failure = writeFileAtomically(*file, render(reduced)))
                notWritten("无法写入边长归算文件 " + *file + "：" + *failure);
        }
    }
    if (!options->saveJob.empty()) {
        if (const auto failure = saveJob(options->saveJob, jobOf(record)))
            notWritten(*failure, exitStatus::jobNotWritten);
    }
    std::fflush(stdout);
    // A file not written outranks the findings: status 6 promises that every file
    // asked for was written, and a script must learn first that one is missing.
    if (status == exitStatus::completed && findings.outsideLimits()) status = exitStatus::outsideLimits;
    return status;
}

}  // namespace trelvan
