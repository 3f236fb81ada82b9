#pragma once
// Reads a PDF back with poppler's command-line tools: page count, fonts, and every
// word with its box in points from the page's top left.

#include <charconv>
#include <regex>
#include <string>
#include <vector>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace trelvan::testing {

// Standard output of a finished program; empty with `ok` false when it failed.
inline std::string runTool(const QString& program, const QStringList& arguments, bool* ok = nullptr) {
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    const bool good = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok) *ok = good;
    return good ? process.readAllStandardOutput().toStdString() : std::string();
}

// A number as pdftotext writes it, with a full stop whatever the locale says.
inline double pdfNumber(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

struct PdfWord {
    int page = 0;  // from 0
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::string text;
};

struct PdfPages {
    int count = 0;
    double width = 0, height = 0;  // of the first page, points
    std::vector<PdfWord> words;    // in reading order, page by page
};

inline PdfPages readPdfWords(const QString& fileName) {
    PdfPages pages;
    const std::string html = runTool("pdftotext", {"-bbox", fileName, "-"});
    static const std::regex page(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
    static const std::regex word(
        R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    std::size_t at = 0;
    while (true) {
        std::smatch p;
        std::string rest = html.substr(at);
        if (!std::regex_search(rest, p, page)) break;
        if (pages.count == 0) pages.width = pdfNumber(p[1]), pages.height = pdfNumber(p[2]);
        const std::size_t begin = at + static_cast<std::size_t>(p.position(0) + p.length(0));
        const std::size_t end = html.find("</page>", begin);
        const std::string body = html.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        for (auto it = std::sregex_iterator(body.begin(), body.end(), word); it != std::sregex_iterator(); ++it) {
            const auto& m = *it;
            pages.words.push_back({pages.count, pdfNumber(m[1]), pdfNumber(m[2]), pdfNumber(m[3]),
                                   pdfNumber(m[4]), m[5]});
        }
        ++pages.count;
        if (end == std::string::npos) break;
        at = end;
    }
    return pages;
}

}  // namespace trelvan::testing
