#pragma once
// The full report of the last completed computation, in one PDF: the report exactly
// as 打 印 prints it, then the reduction of the measured sides when the job has any
// (边长归算), then the precision analysis of the whole chain in tables set out on A4,
// then the chain plot on a page of its own (landscape when the chain is wider than
// tall). Every page carries in its foot the date and time of the computation, the
// job file's name when there is one, and "第 i 页 共 n 页".

#include <string>

#include <QString>

#include "report/painter/report_painter.h"
#include "state/chain_state.h"

namespace trelvan {

struct FullReportOutcome {
    enum class Kind { Written, Failed, Stopped };
    Kind kind = Kind::Failed;
    QString message;  // why it failed, naming the file
    // The pages written: the report's, the reduction's, the analysis's, and all (those
    // three and the plot).
    int reportPages = 0, reductionPages = 0, analysisPages = 0, pages = 0;

    bool written() const { return kind == Kind::Written; }
};

// Writes the full report of `record` to `fileName`, with its fonts embedded. The
// file is written under a temporary name and renamed into place only when complete:
// a failure, or a stop asked for by `progress`, leaves no partial file and an older
// file as it was. Progress is told in lines of the report, rows of the tables and
// items of the plot. `jobFile` is the job file the chain came from (empty for none),
// `unsaved` whether the result differs from what it holds.
FullReportOutcome writeFullReportPdf(const ChainState& record, const QString& fileName,
                                     const PaintProgress& progress = {}, const std::string& jobFile = {},
                                     bool unsaved = false);

}  // namespace trelvan
