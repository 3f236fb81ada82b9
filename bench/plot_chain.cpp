// Plots a chain from its replies, and says how long each step took.
//
//   trelvan_plot_chain [--svg FILE] [--png FILE] [--pdf FILE] [--repeat K]
//                      [--zoom FACTOR --at POINT] [--window] < replies.txt
//
// Runs the Compute action on the replies (one a line, as batch mode reads them),
// draws the chain with the error ellipses of its precision analysis, and writes the
// plot on A4 in each format asked for: fitted, or FACTOR times the fitted scale
// round point number POINT. Standard error gets the fastest of K runs of each step,
// in milliseconds:
//   figure <ms> layout <ms> names <kept>/<points> ... svg <ms> (cpu <ms>) png ... pdf ...
// With --window it then opens the plot window on the chain, at the same zoom, says
// how long the fitted and the zoomed view take to lay out and paint, and stays open
// until it is closed.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <QApplication>

#include "adjustment/compute.h"
#include "plot/painter/plot_painter.h"
#include "plot/plot.h"
#include "report/painter/report_painter.h"
#include "state/number_format.h"
#include "window/application.h"
#include "window/plot_window.h"

namespace {

using namespace trelvan;

class StdinPrompter : public Prompter {
public:
    Reply ask(const std::string&) override {
        std::string line;
        if (!std::getline(std::cin, line)) return Reply::endOfInput();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return Reply::typed(line);
    }
    Reply askPause(const std::string& prompt) override {
        Reply r = ask(prompt);
        return r.kind == Reply::Kind::EndOfInput ? Reply::typed("") : r;
    }
};

class NoBoxes : public TextBoxes {
public:
    void setText(int, const std::string&) override {}
};

class StderrMessages : public Messages {
public:
    void say(const std::string& m) override { std::cerr << "! " << m << '\n'; }
};

// The fastest of `repeat` runs, in milliseconds of wall time; `cpu` gets the
// processor time of that run, which other work on a busy machine does not inflate.
template <class F>
double fastestMs(int repeat, F&& f, double* cpu = nullptr) {
    double best = 1e300;
    for (int i = 0; i < repeat; ++i) {
        const std::clock_t c0 = std::clock();
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (ms < best && cpu) *cpu = 1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
        best = std::min(best, ms);
    }
    return best;
}

int usage() {
    std::fputs("usage: trelvan_plot_chain [--svg FILE] [--png FILE] [--pdf FILE] [--repeat K]\n"
               "                          [--zoom FACTOR --at POINT] [--window] < replies\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareApplication(app);
    std::map<plot::PlotFormat, QString> files;
    int repeat = 1;
    double zoom = 1;
    int centre = 0;
    bool window = false;
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--window") {
            window = true;
            --i;
            continue;
        }
        if (i + 1 >= argc) return usage();
        if (option == "--svg") files[plot::PlotFormat::Svg] = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--png") files[plot::PlotFormat::Png] = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--pdf") files[plot::PlotFormat::Pdf] = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--repeat") repeat = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--zoom") zoom = parseNumber(argv[i + 1]).value_or(1);
        else if (option == "--at") centre = std::atoi(argv[i + 1]);
        else return usage();
    }

    ChainState record;
    StdinPrompter prompter;
    NoBoxes boxes;
    StderrMessages messages;
    if (Command1_Click(record, prompter, boxes, messages) != ComputeOutcome::Completed) {
        std::fputs("the computation did not complete\n", stderr);
        return 1;
    }
    plot::ChainFigure figure;
    std::string analysisFailure;
    const double figureMs = fastestMs(repeat, [&] { figure = plot::recordFigure(record, &analysisFailure); });
    if (!analysisFailure.empty()) std::cerr << "no ellipses: " << analysisFailure << '\n';
    const plot::PageSetup page = plot::paperSetup(figure);
    plot::Transform view = plot::fitTransform(figure, page);
    if (zoom != 1 && centre >= 0 && centre < static_cast<int>(figure.points.size())) {
        const plot::PageBox area = plot::drawingAreaOf(page);
        const plot::Ground at = figure.points[static_cast<std::size_t>(centre)].at;
        view.scale *= zoom;
        view.west = at.y - (area.left + area.width / 2) / view.scale;
        view.north = at.x + (area.top + area.height / 2) / view.scale;
    }
    plot::Plot laidOut;
    const double layoutMs = fastestMs(repeat, [&] { laidOut = plot::layoutPlot(figure, page, view); });
    std::cerr << "figure " << figureMs << " layout " << layoutMs << " names " << laidOut.names.size() << '/'
              << figure.points.size() << " scale 1:" << laidOut.transform.denominator() << " magnification "
              << figure.ellipseMagnification;

    int status = 0;
    for (const auto& [format, file] : files) {
        QString failure;
        double cpu = 0;
        const double ms = fastestMs(
            repeat,
            [&] {
                // Layout included: the whole of what writing a plot from a figure costs.
                failure = plot::writePlot(plot::layoutPlot(figure, page, view), file, format);
            },
            &cpu);
        std::cerr << (format == plot::PlotFormat::Svg ? " svg " : format == plot::PlotFormat::Png ? " png " : " pdf ")
                  << ms << " (cpu " << cpu << ")";
        if (!failure.isEmpty()) {
            std::cerr << "\n" << failure.toStdString();
            status = 4;
        }
    }
    std::cerr << '\n';
    if (!window) return status;

    // The window, as 查看 ▸ 网图 opens it; then the same zoom about the same point.
    PlotWindow plotWindow;
    plotWindow.showRecord(record);
    plotWindow.show();
    PlotCanvas& canvas = *plotWindow.canvas();
    const auto paintMs = [&] {
        return fastestMs(repeat, [&] {
            canvas.fit();
            canvas.repaint();
        });
    };
    QCoreApplication::processEvents();
    std::cerr << "window: fitted, laid out and painted " << paintMs();
    if (zoom != 1 && centre >= 0 && centre < static_cast<int>(figure.points.size())) {
        const double zoomed = fastestMs(repeat, [&] {
            canvas.fit();
            canvas.zoomAt(canvas.widgetPointOf(figure.points[static_cast<std::size_t>(centre)].at), zoom);
            canvas.repaint();
        });
        std::cerr << ", fitted and zoomed " << zoomed;
    }
    std::cerr << " ms\n";
    return app.exec() == 0 ? status : 1;
}
