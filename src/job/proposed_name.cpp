// File names proposed from the job's name.

#include "job/proposed_name.h"

#include <string_view>

#include "state/utf8.h"

namespace trelvan {

namespace {

// The longest job's name proposed, in bytes: room is left for what follows it in a
// file name of 255 bytes.
constexpr std::size_t longestStem = 120;

bool refused(unsigned char c) {
    return c < 0x20 || c == 0x7f || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

// The name as a file name may hold it, at most `longest` bytes.
std::string fileSafe(const std::string& name, std::size_t longest = longestStem) {
    std::string safe = sanitizeUtf8(name);
    for (char& c : safe)
        if (refused(static_cast<unsigned char>(c))) c = '_';
    const auto atEnd = [](char c) { return c == ' ' || c == '.'; };
    std::size_t first = 0, last = safe.size();
    while (first < last && atEnd(safe[first])) ++first;
    while (last > first && atEnd(safe[last - 1])) --last;
    safe = safe.substr(first, last - first);
    if (safe.size() > longest) {
        std::size_t cut = longest;
        while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
        safe.resize(cut);
        while (!safe.empty() && atEnd(safe.back())) safe.pop_back();
    }
    return safe;
}

}  // namespace

std::string jobStem(const std::string& jobFile, const std::string& nameA, const std::string& nameB) {
    std::string stem;
    if (!jobFile.empty()) {
        std::string base = jobFile.substr(jobFile.find_last_of('/') + 1);
        const std::size_t dot = base.rfind('.');
        if (dot != std::string::npos && dot > 0) base.resize(dot);
        stem = fileSafe(base);
    } else {
        // Each name takes half the room, so that a long A leaves B its place.
        const std::string a = fileSafe(nameA), b = fileSafe(nameB);
        stem = a.empty() || b.empty() ? a + b : fileSafe(nameA, longestStem / 2 - 1) + "-" + fileSafe(nameB, longestStem / 2);
    }
    return stem.empty() ? "作业" : stem;
}

std::string proposedFileName(Proposed what, const std::string& stem, const std::string& table) {
    switch (what) {
        case Proposed::Job: return stem + ".trv";
        case Proposed::Report: return stem + ".pdf";
        case Proposed::FullReport: return stem + " 完整报告.pdf";
        case Proposed::Plot: return stem + " 网图.svg";
        case Proposed::AnalysisTable: return stem + " 精度分析-" + fileSafe(table) + ".csv";
        case Proposed::CassData: return stem + ".dat";
        case Proposed::CoordinateCsv: return stem + " 坐标.csv";
        case Proposed::Drawing: return stem + ".dxf";
    }
    return stem;
}

}  // namespace trelvan
