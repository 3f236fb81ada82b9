// The misclosures at B: what the observed chain carries to B minus what is known
// there, for the closing azimuth and for X and Y.

#include <cmath>
#include <string>

#include "adjustment/checks.h"
#include "adjustment/stages.h"
#include "adjustment/texts.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "state/units.h"

namespace trelvan {

namespace {

// Two azimuths either side of north differ by almost a full turn; the misclosure is
// the short way round, in (−180°, +180°].
double shortestTurn(double degrees) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees > 180) degrees -= 360;
    else if (degrees <= -180) degrees += 360;
    return degrees;
}

// A misclosure as shown: rounded to two decimals, ties to even, then "0.00".
std::string shown(float value, const char* unit) {
    return roundedFixed(value, 2, 2) + unit;
}

}  // namespace

void computeMisclosures(ChainState& state, RunValues& run, TextBoxes& boxes) {
    const int n = state.N;
    const bool closingAzimuth = run.Tb != 0;

    float w1 = 0;
    if (closingAzimuth)
        w1 = static_cast<float>(shortestTurn(run.computedTb - run.Tb) * secondsPerDegree);
    const float w2 = static_cast<float>(state.pointX[n + 1] - state.Xb);
    const float w3 = static_cast<float>(state.pointY[n + 1] - state.Yb);
    // Millimetres for the display, in single precision like the stored metres.
    const float w2mm = millimetresOf(w2);
    const float w3mm = millimetresOf(w3);

    checks::requireFinite(w1, "方位角闭合差");
    checks::requireFinite(w2mm, "纵座标闭合差");
    checks::requireFinite(w3mm, "横座标闭合差");

    state.w[1] = w1;
    state.w[2] = w2;
    state.w[3] = w3;

    boxes.setText(15, closingAzimuth ? shown(w1, adjustment_texts::seconds)
                                     : std::string(adjustment_texts::noClosingAzimuth));
    boxes.setText(16, shown(w2mm, adjustment_texts::millimetres));
    boxes.setText(17, shown(w3mm, adjustment_texts::millimetres));
}

}  // namespace trelvan
