#pragma once
// The Print action: the report of the last completed Compute action on the default
// printer, or, with no printer, as a PDF file the operator chooses.

#include <functional>
#include <string>

#include <QString>

#include "entry/interfaces.h"
#include "report/page_foot.h"
#include "report/report.h"
#include "state/chain_state.h"

class QWidget;

namespace trelvan {

// What the Print action asks of the system, replaceable in tests. Each failure is
// returned as a Chinese message naming its cause; empty means success.
struct PrintHooks {
    // The printer to use: the default printer, else the first one installed;
    // empty when there is none.
    std::function<QString()> findPrinter;
    std::function<QString(const Report&, const PageFoot&, const QString& printer)> print;
    // Asks a yes/no question; true for yes.
    std::function<bool(QWidget* parent, const QString& question)> confirm;
    // Asks where to save the PDF, proposing `suggested`; empty when the operator cancels.
    std::function<QString(QWidget* parent, const QString& suggested)> choosePdfFile;
    std::function<QString(const Report&, const PageFoot&, const QString& fileName)> writePdf;

    // The real printers, message boxes and file dialog.
    static PrintHooks system();
};

// Where the report on show came from: the job file ("" for none) that its pages'
// feet name, whether the result differs from what that file holds, and the PDF file
// proposed when there is no printer.
struct ReportOrigin {
    std::string jobFile;
    bool unsaved = false;
    QString proposedPdf;
};

// Prints `record`, each page with its foot. Before any completed Compute action it
// prints nothing and says so. With no printer installed it offers to save the same
// pages as a PDF file. Failures are said through `messages`; nothing here ends the
// program, and the record is not changed.
void Command3_Click(QWidget* parent, const ChainState& record, Messages& messages,
                    const PrintHooks& hooks = PrintHooks::system(), const ReportOrigin& origin = {});

}  // namespace trelvan
