#include "console/batch.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QByteArray>
#include <QGuiApplication>

#include "adjustment/compute.h"
#include "analysis/chain_precision.h"
#include "analysis/tables.h"
#include "console/command_line.h"
#include "entry/interfaces.h"
#include "full_report/full_report.h"
#include "job/job.h"
#include "plot/painter/plot_painter.h"
#include "plot/plot.h"
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

class TranscriptMessages : public Messages {
public:
    explicit TranscriptMessages(Transcript& transcript) : transcript_(transcript) {}
    void say(const std::string& message) override { transcript_.line("! ", message); }

private:
    Transcript& transcript_;
};

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
};

// Parses the command line; empty on a usage error.
std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
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
        if (option == nullptr || i + 1 >= argc || argv[i + 1][0] == '\0') return std::nullopt;
        options.*(option->file) = argv[++i];
    }
    if (!batch) return std::nullopt;
    // The plot's type comes from its extension; any other is a usage error, found
    // before anything is computed.
    if (!options.plot.empty() && !plot::plotFormatOf(QString::fromStdString(options.plot))) {
        std::fputs("trelvan: the file of --plot must end in .svg, .png or .pdf\n", stderr);
        return std::nullopt;
    }
    return options;
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

// The precision analysis of the completed action, as text and as JSON. False when a
// file could not be written (the other is still written) or the analysis failed.
bool writeAnalysis(const ChainState& record, const Options& options, Messages& messages) {
    std::optional<analysis::ChainPrecision> precision;
    try {
        precision = analysis::analyse(record);
    } catch (const ComputeFailure& failure) {
        messages.say(failure.what());
        return false;
    }
    if (!precision) return false;
    bool written = true;
    const auto notWritten = [&](const std::string& file) {
        messages.say("无法写入精度分析文件 " + file);
        written = false;
    };
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
    return written;
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
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fputs(usageText, stderr);
        return exitStatus::usage;
    }

    Transcript transcript;
    TranscriptBoxes boxes(transcript);
    TranscriptMessages messages(transcript);

    // A job is read and checked whole before anything of it is computed; a refused
    // one computes, reports and saves nothing.
    std::unique_ptr<Prompter> replies;
    if (!options->job.empty()) {
        const JobReading reading = readJobFile(options->job);
        if (!reading.accepted()) {
            const std::string message = refusalMessage(options->job, *reading.problem);
            std::fprintf(stderr, "%s\n", message.c_str());
            messages.say(message);
            std::fflush(stdout);
            return exitStatus::refusedJob;
        }
        replies = std::make_unique<ReplyListPrompter>(jobReplies(reading.job));
    } else {
        replies = std::make_unique<StdinPrompter>();
    }
    TranscribedPrompter prompter(*replies, transcript);

    ChainState record;
    switch (Command1_Click(record, prompter, boxes, messages)) {
        case ComputeOutcome::Completed: break;
        case ComputeOutcome::InputEnded: std::fflush(stdout); return exitStatus::inputEnded;
        case ComputeOutcome::Failed:
        case ComputeOutcome::Cancelled: std::fflush(stdout); return exitStatus::failed;
    }

    GuiOnDemand gui;
    int status = exitStatus::completed;
    if (!options->reportText.empty() || !options->reportPdf.empty()) {
        const Report report = buildReport(record);
        if (!options->reportText.empty() && !writeTextFile(options->reportText, renderText(report))) {
            messages.say("无法写入报告文件 " + options->reportText);
            status = exitStatus::reportNotWritten;
        }
        if (!options->reportPdf.empty()) {
            gui.ensure();
            const QString error = writeReportPdf(report, QString::fromStdString(options->reportPdf));
            if (!error.isEmpty()) {
                messages.say(error.toStdString());
                status = exitStatus::reportNotWritten;
            }
        }
    }
    if (!options->analysisText.empty() || !options->analysisJson.empty()) {
        if (!writeAnalysis(record, *options, messages)) status = exitStatus::reportNotWritten;
    }
    if (!options->fullReportPdf.empty()) {
        gui.ensure();
        const FullReportOutcome written =
            writeFullReportPdf(record, QString::fromStdString(options->fullReportPdf));
        if (!written.written()) {
            messages.say(written.message.toStdString());
            status = exitStatus::reportNotWritten;
        }
    }
    if (!options->plot.empty()) {
        gui.ensure();
        // The chain is drawn even when its ellipses cannot be: the plot then says so.
        std::string analysisFailure;
        const plot::ChainFigure figure = plot::recordFigure(record, &analysisFailure);
        if (!analysisFailure.empty()) messages.say("网图中没有误差椭圆：" + analysisFailure);
        const QString error = plot::writePlot(figure, QString::fromStdString(options->plot));
        if (!error.isEmpty()) {
            messages.say(error.toStdString());
            status = exitStatus::reportNotWritten;
        }
    }
    if (!options->saveJob.empty()) {
        if (const auto failure = saveJob(options->saveJob, jobOf(record))) {
            messages.say(*failure);
            status = exitStatus::jobNotWritten;
        }
    }
    std::fflush(stdout);
    return status;
}

}  // namespace trelvan
