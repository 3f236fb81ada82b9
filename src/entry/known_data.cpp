#include "entry/confirmed_value.h"
#include "entry/entry.h"
#include "entry/value_checks.h"
#include "state/azimuth.h"
#include "state/number_format.h"
#include "state/packed_angle.h"

namespace trelvan {

namespace {

// How one end of the chain is oriented.
struct EndOrientation {
    double azimuth = 0;  // decimal degrees; 0 = none
    double typed = 0;    // the packed angle as typed; 0 when it was not typed
    bool oriented = false;
};

// The external azimuth at one end of the chain. Typed when both direction-point
// coordinates are zero (a typed 0 orients nothing), computed from the direction point
// when both are non-zero and shown with "度", and none, with nothing asked or shown,
// when only one of them is zero.
EndOrientation externalAzimuth(Dialogue& dialogue, RunValues& run, Confirmed typedRow, double x,
                               double y, double xp, double yp) {
    EndOrientation end;
    if (xp == 0 && yp == 0) {
        end.typed = enterConfirmed(dialogue, typedRow, run.confirmReply);
        end.azimuth = packedToDegrees(end.typed);
        end.oriented = end.typed != 0;
    } else if (xp != 0 && yp != 0) {
        end.azimuth = azimuthTo(x, y, xp, yp);
        end.oriented = true;
        dialogue.setText(confirmedValue(typedRow).box,
                         generalNumber(roundHalfEven(end.azimuth, 7)) + "度");
    }
    return end;
}

// A signed orientation angle: its box is emptied first, its sign goes to `sign`, the
// packed angle as typed to `typed`.
double orientationAngle(Dialogue& dialogue, RunValues& run, Confirmed row,
                        std::int16_t& sign, double& typed) {
    dialogue.setText(confirmedValue(row).box, "");
    typed = enterConfirmed(dialogue, row, run.confirmReply);
    sign = static_cast<std::int16_t>(signOf(typed));
    return signedPackedToDegrees(typed);
}

}  // namespace

void enterKnownData(Dialogue& dialogue, ChainState& state, RunValues& run) {
    run.Ta = run.Tb = run.Qa = run.Qb = 0;
    std::string& reply = run.confirmReply;

    state.Xa = enterConfirmed(dialogue, Confirmed::Xa, reply);
    state.Ya = enterConfirmed(dialogue, Confirmed::Ya, reply);
    state.Xb = enterConfirmed(dialogue, Confirmed::Xb, reply);
    state.Yb = enterConfirmed(dialogue, Confirmed::Yb, reply);

    state.Xpa = enterConfirmed(dialogue, Confirmed::Xpa, reply);
    state.Ypa = enterConfirmed(dialogue, Confirmed::Ypa, reply);
    state.Xpb = enterConfirmed(dialogue, Confirmed::Xpb, reply);
    state.Ypb = enterConfirmed(dialogue, Confirmed::Ypb, reply);

    // The coordinates are kept exactly as typed; so are they in the typed values.
    TypedValues& typed = state.typed;
    typed.Xa = state.Xa, typed.Ya = state.Ya, typed.Xb = state.Xb, typed.Yb = state.Yb;
    typed.Xpa = state.Xpa, typed.Ypa = state.Ypa, typed.Xpb = state.Xpb, typed.Ypb = state.Ypb;

    // Only now, with all four direction-point values confirmed, is each end's
    // orientation known: first A, then B.
    // What this action typed, and nothing of an earlier one: the report's title and
    // azimuth lines describe the adjustment that was made.
    const EndOrientation a =
        externalAzimuth(dialogue, run, Confirmed::Ta, state.Xa, state.Ya, state.Xpa, state.Ypa);
    run.Ta = a.azimuth;
    state.taEntered = typed.Ta = a.typed;
    state.orientedAtA = a.oriented;
    const EndOrientation b =
        externalAzimuth(dialogue, run, Confirmed::Tb, state.Xb, state.Yb, state.Xpb, state.Ypb);
    run.Tb = b.azimuth;
    state.tbEntered = typed.Tb = b.typed;

    const int n = state.N;
    run.Qa = orientationAngle(dialogue, run, Confirmed::Qa, run.sideSign[0], typed.Qa);
    run.Qb = orientationAngle(dialogue, run, Confirmed::Qb, run.sideSign[n + 1], typed.Qb);

    // The azimuth condition needs both the closing azimuth and the closing
    // orientation angle; with only one of them there is none.
    dialogue.setText(14, run.Tb != 0 && run.Qb != 0 ? "   平差有方位条件" : "    平差没有方位条件");

    double tolerance = 0;
    for (;;) {
        tolerance = dialogue.askNumber("请输入规范规定的测角限差 :", 25);
        const auto problem = toleranceProblem(tolerance);
        if (!problem) break;
        dialogue.say(refusal::askAgain(*problem));
    }
    typed.angleTolerance = tolerance;
    state.mb = static_cast<float>(tolerance);
    dialogue.setText(25, "  " + formatFixed(state.mb, 2) + "秒");
}

}  // namespace trelvan
