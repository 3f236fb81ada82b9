// Trelvan: least-squares condition adjustment of a trilateration chain.
//
//   trelvan            the window
//   trelvan --batch    the same Compute action, replies on standard input

#include "console/batch.h"
#include "window/window_main.h"

int main(int argc, char** argv) {
    if (trelvan::wantsBatch(argc, argv)) return trelvan::runBatch(argc, argv);
    return trelvan::runWindow(argc, argv);
}
