#pragma once
// Values that are echoed, confirmed, and on a "0" at the confirmation asked for again
// with a prompt of their own: the known coordinates, the direction points, the
// typed external azimuths and the orientation angles.

#include <string>

#include "entry/dialogue.h"

namespace trelvan {

// The values in the order the dialogue asks for them.
enum class Confirmed { Xa, Ya, Xb, Yb, Xpa, Ypa, Xpb, Ypb, Ta, Tb, Qa, Qb };

// One value's texts and echo. Every value is read as a decimal number in double
// precision: the direction points too, so that a national-grid coordinate is kept
// exactly as typed, and a packed angle keeps the number it spells.
struct ConfirmedValue {
    int box;                         // the text box of the echo
    int decimals;                    // echo: one blank, then the value to this many decimals
    const char* prompt;
    const char* firstConfirmation;
    const char* reentryPrompt;       // asks for the correct value after a "0"
    const char* repeatConfirmation;  // the confirmation after every re-entry
    bool clearedBeforeReentry;       // the box is emptied while the re-entry prompt is open
    // The re-entered value is shown first as typed, then unpadded, before its
    // confirmation (the closing azimuth).
    bool reentryShowsTyped;
};

const ConfirmedValue& confirmedValue(Confirmed which);

// Asks for the value, echoes it and asks for its confirmation until the reply is not
// the number zero. Returns the value last typed; the last confirmation reply is left
// in `confirmReply`.
double enterConfirmed(Dialogue& dialogue, Confirmed which, std::string& confirmReply);

}  // namespace trelvan
