#pragma once
// How the observations of a chain are weighted (定权).
//
// Unit weight is always one angle of one second. By the mean side, every side has
// the weight of an angle error carried over the mean side length, and the
// orientation angles have unit weight. By the instrument, each side has the standard
// error the distance meter is stated to measure it with, a + b·D, and the
// orientation angles the standard error of their measurement.

namespace trelvan {

struct WeightModel {
    enum class Kind { MeanSide, Instrument };
    // How the constant and the proportional part of a distance meter's accuracy
    // combine: added (a + b·D, the usual statement on Chinese instruments) or as the
    // root of the sum of their squares.
    enum class Combine { Linear, Quadrature };

    Kind model = Kind::MeanSide;
    double a = 0;       // the constant part, mm
    double b = 0;       // the part proportional to the length, mm per km
    double sigmaQ = 0;  // standard error of an orientation angle, seconds
    Combine combine = Combine::Linear;

    bool byInstrument() const { return model == Kind::Instrument; }
    friend bool operator==(const WeightModel&, const WeightModel&) = default;
};

}  // namespace trelvan
