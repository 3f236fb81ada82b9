#include "console/command_line.h"

#include <cstdio>
#include <cstring>

#include "console/batch.h"
#include "state/version.h"

namespace trelvan {

const char* const usageText =
    "usage: trelvan [FILE.trv]          open the window; with a job file, compute it there\n"
    "       trelvan --batch [OPTION...] < replies.txt\n"
    "       trelvan --batch --job FILE.trv [OPTION...]\n"
    "       trelvan --help | --version\n"
    "\n"
    "Batch mode runs the computation without a display. It reads one reply per line\n"
    "from standard input, or the replies of a job file, and writes the transcript on\n"
    "standard output. The files are written after a completed computation; the\n"
    "findings of its checks (检核) follow as ! lines, and go to standard error too.\n"
    "Every option that names a file needs --batch:\n"
    "\n"
    "  --job FILE              compute the job in FILE; standard input is not read\n"
    "  --save-job FILE         write the job of the completed computation (.trv)\n"
    "  --report-text FILE      the report as UTF-8 plain text\n"
    "  --report-pdf FILE       the report as the printer gets it, A4 PDF\n"
    "  --full-report-pdf FILE  the report, the precision analysis and the plot, PDF\n"
    "  --analysis-text FILE    the precision analysis as UTF-8 text tables\n"
    "  --analysis-json FILE    the precision analysis as JSON\n"
    "  --plot FILE             the plot of the chain: .svg, .png or .pdf\n"
    "  --export-dat FILE       the coordinates as a CASS data file (GB18030)\n"
    "  --export-csv FILE       the coordinates and their precision as CSV\n"
    "  --export-dxf FILE       the chain as a DXF drawing (AutoCAD 2000)\n"
    "  --reduction-text FILE   the measured sides reduced to the plane, UTF-8 text\n"
    "  --reduction-json FILE   the same as JSON\n"
    "  --help                  show this help and exit\n"
    "  --version               show the version and exit\n"
    "\n"
    "Exit status: 0 completed, every file written; 1 computation abandoned;\n"
    "2 usage error; 3 input ended early; 4 a file not written; 5 job file refused;\n"
    "6 completed and every file written, but a misclosure over its limit or B missed.\n";

ProgramQuestion programQuestion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0) return ProgramQuestion::help;
        if (std::strcmp(arg, "--version") == 0) return ProgramQuestion::version;
        // Every other option but --batch is followed by the name of its file.
        if (std::strncmp(arg, "--", 2) == 0 && std::strcmp(arg, "--batch") != 0) ++i;
    }
    return ProgramQuestion::none;
}

int answer(ProgramQuestion question) {
    if (question == ProgramQuestion::help) std::fputs(usageText, stdout);
    if (question == ProgramQuestion::version) std::printf("trelvan %s\n", programVersion);
    // An answer that never arrived is not a success (standard output full or closed).
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("trelvan: cannot write to standard output\n", stderr);
        return exitStatus::reportNotWritten;
    }
    return exitStatus::completed;
}

}  // namespace trelvan
