#pragma once
// Batch mode: the Compute action without a display.
//
//   trelvan --batch [--report-text FILE] [--report-pdf FILE] [--full-report-pdf FILE]
//                   [--analysis-text FILE] [--analysis-json FILE] [--plot FILE.svg|.png|.pdf]
//                   [--save-job FILE] [--reduction-text FILE] [--reduction-json FILE] < replies.txt
//   trelvan --batch --job FILE [the same options]
//
// Replies are read from standard input, one per line, or made from a job file. Standard output gets the
// transcript, one event per line: "? prompt", "> reply", "TextN: text", "! message".
// After a completed computation the findings of its 检核 follow as `!` lines, and go
// to standard error too.

namespace trelvan {

namespace exitStatus {
inline constexpr int completed = 0;
inline constexpr int failed = 1;
inline constexpr int usage = 2;
inline constexpr int inputEnded = 3;
inline constexpr int reportNotWritten = 4;  // a report, analysis or plot file
inline constexpr int jobNotWritten = 4;  // the other files asked for are still written
inline constexpr int refusedJob = 5;     // nothing computed, reported or saved
// Computed, reported and saved as asked, but a misclosure is over its limit or the
// chain does not reach B. A failed global test alone does not change the status.
inline constexpr int outsideLimits = 6;
}  // namespace exitStatus

// True when the command line asks for batch mode, or names a batch-only option.
bool wantsBatch(int argc, char** argv);

// Runs batch mode and returns the exit status.
int runBatch(int argc, char** argv);

}  // namespace trelvan
