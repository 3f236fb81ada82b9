#pragma once
// The file name a save or an export proposes: named after the job, so that a chain's
// report, plot and tables are found beside its job file and told apart from another
// chain's.

#include <string>

namespace trelvan {

// The job's name: the job file's name without its extension when the result came from
// one ("K07-K08" of ".../K07-K08.trv"), else the names of A and B joined by "-"
// ("K07-K08"), or the one that is not empty. Characters that no file name may hold on
// this system or another ("/", "\", ":", "*", "?", "\"", "<", ">", "|", controls)
// become "_"; blanks and dots at either end go, so that the file is neither hidden
// nor misnamed; a long name is cut short at a character's boundary. "作业" when
// nothing is left.
std::string jobStem(const std::string& jobFile, const std::string& nameA, const std::string& nameB);

// What is saved or exported, each with its own name beside the job's.
enum class Proposed {
    Job,            // K07-K08.trv
    Report,         // K07-K08.pdf, the printed report
    FullReport,     // K07-K08 完整报告.pdf
    Plot,           // K07-K08 网图.svg
    AnalysisTable,  // K07-K08 精度分析-点位精度.csv, with the table's title
    CassData,       // K07-K08.dat, the coordinates for CASS
    CoordinateCsv,  // K07-K08 坐标.csv
    Drawing,        // K07-K08.dxf
};

// The proposed file name, without a folder.
std::string proposedFileName(Proposed what, const std::string& stem, const std::string& table = {});

}  // namespace trelvan
