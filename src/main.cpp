// Trelvan: least-squares condition adjustment of a trilateration chain.
//
//   trelvan [FILE.trv]      the window
//   trelvan --batch         the same Compute action, replies on standard input
//   trelvan --help | --version

#include "console/batch.h"
#include "console/command_line.h"
#include "window/window_main.h"

int main(int argc, char** argv) {
    if (const auto question = trelvan::programQuestion(argc, argv); question != trelvan::ProgramQuestion::none)
        return trelvan::answer(question);
    if (trelvan::wantsBatch(argc, argv)) return trelvan::runBatch(argc, argv);
    return trelvan::runWindow(argc, argv);
}
