#pragma once
// 检核: what the printed report, the window and batch mode say about whether an
// adjusted chain can be trusted. The precision analysis finds; this words it, the
// same words everywhere: the block that closes the report, the window's warning and
// the misclosure boxes' tips, and batch mode's `!` lines.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trelvan {

// What the precision analysis of one completed computation found.
struct CheckFindings {
    enum class Condition { Azimuth, X, Y };
    // A misclosure against its limit (twice its a priori standard error).
    struct Misclosure {
        Condition condition = Condition::X;
        float stored = 0;  // as the record holds it: seconds, or metres for X and Y
        double limit = 0;  // seconds, or millimetres for X and Y
        bool over = false;
    };
    // An observation whose normalized correction marks it as suspect.
    struct Suspect {
        std::string name;  // "S24", "Qa", "Qb"
        double normalized = 0;
    };
    struct Point {
        std::string name;
        double mp = 0;  // mm
    };
    // How far the misclosures could be checked.
    enum class Checked { Yes, NoTolerance, NotAnalysed };

    // The point whose precision the report gives: the middle point of the chain.
    std::string middlePoint;
    // The point of the largest mp in the whole chain, when it is not the middle one.
    std::optional<Point> weakest;

    Checked checked = Checked::Yes;
    std::vector<Misclosure> misclosures;  // every condition used, in order
    double statistic = 0;                 // the global test: [pvv] / σ0²
    double quantile = 0;                  // χ² at 95 %
    bool passed = true;
    std::vector<Suspect> suspects;        // every suspect observation, largest first

    std::string closingPoint;        // B's name
    std::optional<double> missedB;   // m, when the listed B lies over 5 mm from the known B

    // A misclosure over its limit, or B missed: the chain is not fit to sign.
    bool outsideLimits() const;
};

// The block's lines after its heading, each printed at column 24.
std::vector<std::string> checkLines(const CheckFindings& findings);

// The findings an operator must act on, in the block's words: the misclosures over
// their limit, a failed global test, the suspect observations that go with them, and
// a closing point missed. Empty when there are none.
std::vector<std::string> findingLines(const CheckFindings& findings);

// The one warning of the window: the findings, and what to do about them. Empty when
// there are none.
std::string findingsWarning(const CheckFindings& findings);

// The texts a window shows beside its boxes: the misclosure boxes over their limit
// (Text15 azimuth, Text16 X, Text17 Y) each with its finding, and the precision boxes
// Text20 to Text24 each naming the point it describes. Pairs of box and text.
std::vector<std::pair<int, std::string>> overLimitTips(const CheckFindings& findings);
std::vector<std::pair<int, std::string>> precisionTips(const CheckFindings& findings);

}  // namespace trelvan
