#pragma once
// The adjustment's checks. Each throws ComputeFailure with a Chinese message that
// names what failed and where (triangle i, side Sk, the normal equations), so that
// no stage goes on with impossible arithmetic and no NaN or infinity is ever shown.

#include <string>

namespace trelvan::checks {

[[noreturn]] void fail(const std::string& message);

// The triangle that side Sk (k = 1..2N+1) first belongs to.
int triangleOfSide(int k, int n);

// An observed side must be a positive, finite length.
void requireObservedSide(double length, int k, int n);

// Three sides form a triangle when the longest is shorter than the sum of the other
// two; a flat triangle has no altitude and fixes nothing. `adjusted` tells whether
// the sides are the adjusted ones.
void requireTriangle(int i, double a, double b, double c, bool adjusted);

// Any other result must be a finite number; `what` names the quantity and where.
void requireFinite(double value, const char* what);
[[noreturn]] void outOfRange(const std::string& what);

// A pivot of the normal equations in row r must be positive: the normal matrix of
// independent conditions is positive definite.
void requirePivot(double pivot, int r);

}  // namespace trelvan::checks
