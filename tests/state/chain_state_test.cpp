#include "state/chain_state.h"

#include <gtest/gtest.h>

#include "state/constants.h"
#include "state/packed_angle.h"

namespace trelvan {
namespace {

TEST(Constants, TenDecimalPi) {
    EXPECT_EQ(pi, 3.1415926535);
    EXPECT_EQ(degToRad, 0.017453292519444445);
    EXPECT_EQ(rho, 206265);
}

TEST(PackedAngle, WorksOnTheStoredValue) {
    EXPECT_NEAR(packedToDegrees(123.4530), 123.758333333333, 1e-9);
    // 100·0.29 is a little under 29, yet it reads 29 minutes as typed, not 28
    // minutes and 100 seconds (0.494444…).
    EXPECT_NEAR(packedToDegrees(0.29), 0.483333333333, 1e-9);
    EXPECT_NEAR(packedToDegrees(45.3000), 45.5, 1e-9);
    EXPECT_EQ(packedToDegrees(0), 0);
    EXPECT_NEAR(signedPackedToDegrees(-0.3015), -0.504166666667, 1e-9);
    EXPECT_EQ(signedPackedToDegrees(0), 0);
    EXPECT_EQ(signOf(-0.3015), -1);
    EXPECT_EQ(signOf(0.0), 0);
    EXPECT_EQ(signOf(2.0), 1);
}

TEST(Sizing, WeakPointIsTheMiddleOfTheChain) {
    EXPECT_EQ(weakPointOf(1), 1);
    EXPECT_EQ(weakPointOf(4), 2);
    EXPECT_EQ(weakPointOf(5), 3);
    EXPECT_EQ(weakPointOf(16382), 8191);
}

TEST(Sizing, RecreatesEveryArrayAndDropsOldContents) {
    ChainState state;
    RunValues run;
    sizeArrays(state, run, 5);
    state.side[11] = 7;
    state.pointName[6] = "B";
    run.conditionCoef[5][12] = 3;
    run.workMatrix1[5][5] = 9;
    state.w[2] = 1;
    state.taEntered = 45.3;
    state.adjustment.pvv = 4;
    state.adjustment.correction.assign(13, 1.0);

    sizeArrays(state, run, 2);
    EXPECT_EQ(state.N, 2);
    EXPECT_EQ(state.side.size(), 6u);          // 0..2N+1
    EXPECT_EQ(state.pointName.size(), 4u);     // 0..N+1
    EXPECT_EQ(run.routeAzimuth.size(), 5u);    // 0..N+2
    EXPECT_EQ(run.beta.size(), 3u);            // 0..N
    EXPECT_EQ(run.cofactor.size(), 7u);        // 0..2N+2
    EXPECT_EQ(run.conditionCoef[5].size(), 7u);
    for (double s : state.side) EXPECT_EQ(s, 0);
    for (const auto& name : state.pointName) EXPECT_TRUE(name.empty());
    EXPECT_EQ(run.workMatrix1[5][5], 0);
    EXPECT_EQ(state.w[2], 0);
    EXPECT_EQ(run.weakPoint, 1);
    EXPECT_EQ(state.taEntered, 45.3);  // scalars carry over
    // What the last adjustment kept goes with its arrays.
    EXPECT_TRUE(state.adjustment.correction.empty());
    EXPECT_EQ(state.adjustment.pvv, 0);
}

}  // namespace
}  // namespace trelvan
