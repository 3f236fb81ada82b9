#pragma once
// The command line as a whole: the usage, and the two questions about the program
// itself, --help and --version, which are answered before anything else runs.
//
//   trelvan [FILE.trv]                 the window, with a job computed in it
//   trelvan --batch [OPTION...]        the computation without a display
//   trelvan --help | --version

namespace trelvan {

// Every form of the command and every option, with the exit statuses.
extern const char* const usageText;

enum class ProgramQuestion { none, help, version };

// The first --help or --version among the arguments. The argument after an option
// that names a file is that file's name, even when it starts with "--".
ProgramQuestion programQuestion(int argc, char** argv);

// Prints the usage or "trelvan X.Y.Z" on standard output; returns the exit status.
int answer(ProgramQuestion question);

}  // namespace trelvan
