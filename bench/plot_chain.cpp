// Plots a chain from its replies, and says how long each step took.
//
//   trelvan_plot_chain [--svg FILE] [--png FILE] [--pdf FILE] [--repeat K]
//                      [--zoom FACTOR --at POINT] < replies.txt
//
// Runs the Compute action on the replies (one a line, as batch mode reads them),
// gives every point a made-up error ellipse that grows towards the middle of the
// chain, and writes the plot on A4 in each format asked for: fitted, or FACTOR
// times the fitted scale round point number POINT. Standard error gets
// the fastest of K runs of each step, in milliseconds:
//   figure <ms> layout <ms> names <kept>/<points> ... svg <ms> (cpu <ms>) png ... pdf ...

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "adjustment/compute.h"
#include "plot/painter/plot_painter.h"
#include "plot/plot.h"
#include "report/painter/report_painter.h"
#include "state/number_format.h"

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

// The record keeps the even sides' lengths but not the side of the route they lie
// on; the dialogue's echo "s2=-848.4820" in Text29 shows it, the last echo of each
// side being the one confirmed.
class SideEchoes : public TextBoxes {
public:
    void setText(int box, const std::string& text) override {
        if (box != 29 || text.size() < 3 || text[0] != 's') return;
        const auto eq = text.find('=');
        if (eq == std::string::npos) return;
        const auto k = parseNumber(text.substr(1, eq - 1));
        const auto v = parseNumber(text.substr(eq + 1));
        if (k && v) sign[static_cast<int>(*k)] = *v < 0 ? -1 : 1;
    }
    std::map<int, int> sign;
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
    std::fputs("usage: trelvan_plot_chain [--svg FILE] [--png FILE] [--pdf FILE] [--repeat K] < replies\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    installFontSubstitutions();
    std::map<plot::PlotFormat, QString> files;
    int repeat = 1;
    double zoom = 1;
    int centre = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--svg") files[plot::PlotFormat::Svg] = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--png") files[plot::PlotFormat::Png] = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--pdf") files[plot::PlotFormat::Pdf] = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--repeat") repeat = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--zoom") zoom = parseNumber(argv[i + 1]).value_or(1);
        else if (option == "--at") centre = std::atoi(argv[i + 1]);
        else return usage();
    }
    if (argc % 2 == 0) return usage();

    ChainState record;
    StdinPrompter prompter;
    SideEchoes echoes;
    StderrMessages messages;
    if (Command1_Click(record, prompter, echoes, messages) != ComputeOutcome::Completed) {
        std::fputs("the computation did not complete\n", stderr);
        return 1;
    }
    const int n = record.N;
    std::vector<std::int16_t> sideSign(static_cast<std::size_t>(n) + 2, 0);
    for (int i = 1; i <= n; ++i) sideSign[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(echoes.sign[2 * i]);

    // Made up: E grows with the distance from the nearer end, F about half of it, the
    // axis turning along the chain.
    std::vector<plot::PointPrecision> precision(static_cast<std::size_t>(n) + 2);
    for (int i = 1; i <= n; ++i) {
        const double e = 2 + 3 * std::sqrt(std::min(i, n + 1 - i));
        const double f = 0.45 * e + 0.5, phi = std::fmod(37.0 * i, 180.0);
        precision[static_cast<std::size_t>(i)] = {e * 0.8, f * 0.9, e, f, phi};
    }

    plot::ChainFigure figure;
    const double figureMs = fastestMs(repeat, [&] { figure = plot::chainFigure({record, sideSign, precision}); });
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
    return status;
}
