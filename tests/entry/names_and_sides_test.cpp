// Point names and observed sides: the order of the prompts and of the guiding texts,
// the even sides' signs, and the checks that keep a chain that cannot be computed
// from being entered.
#include <gtest/gtest.h>

#include <algorithm>

#include "entry/dialogue.h"
#include "entry/entry.h"
#include "state/failure.h"
#include "state/number_format.h"
#include "support/scripted.h"

namespace trelvan {
namespace {

std::string odd(int k) {
    return "请输入第 " + std::to_string(k) + " 条观测边长 S" + std::to_string(k) + " :";
}
std::string even(int k) {
    return "请输入第 " + std::to_string(k) + " 条观测的边长 S" + std::to_string(k) + " : 如果这条边位于方位角推算路线的右側,则此条偶数边 S(2*n) 请输负值 ( 即为:-s(2*n)之数值 ";
}

// One entry of names and sides for n triangles over scripted replies.
struct Session {
    explicit Session(int n) : n(n) { sizeArrays(state, run, static_cast<std::int16_t>(n)); }

    void names() {
        for (int i = 0; i <= n + 1; ++i) h.prompter.add("P" + std::to_string(i));
    }
    // A side typed and confirmed with Enter.
    void side(const std::string& length, const std::string& confirm = "") {
        h.prompter.add(length);
        h.prompter.add(confirm);
    }
    void enter() { enterNamesAndSides(dialogue, state, run); }

    long count(const std::string& prompt) const {
        const auto& p = h.prompter.prompts;
        return std::count(p.begin(), p.end(), prompt);
    }
    // The events from the first one equal to `from` on.
    std::vector<std::string> eventsFrom(const std::string& from) const {
        const auto& e = h.log.events;
        return {std::find(e.begin(), e.end(), from), e.end()};
    }

    int n;
    testing::Harness h;
    Dialogue dialogue{h.prompter, h.boxes, h.messages};
    ChainState state;
    RunValues run;
};

TEST(NamesAndSides, EvenSidesKeepTheirSideOfTheRouteInTheSign) {
    // Four triangles, even sides left, right, right, left (a zigzag, then a fan);
    // names may be empty and hold blanks.
    Session s(4);
    for (const char* name : {"K07", "", "张庄 1", "D3", "D4", "K08"}) s.h.prompter.add(name);
    const char* replies[] = {"601.544", "848.482", "769.475", "-1101.074", "796.970",
                             "-1049.501", "735.633", "1049.576", "799.645"};
    for (const char* r : replies) s.side(r);
    s.enter();
    EXPECT_EQ(s.run.sideSign, (std::vector<std::int16_t>{0, 1, -1, -1, 1, 0}));
    EXPECT_EQ(s.state.side[4], 1101.074);
    EXPECT_EQ(s.state.side[6], 1049.501);
    EXPECT_EQ(s.state.side[8], 1049.576);
    EXPECT_EQ(s.state.pointName,
              (std::vector<std::string>{"K07", "", "张庄 1", "D3", "D4", "K08"}));
    EXPECT_NE(std::find(s.h.boxes.writes.begin(), s.h.boxes.writes.end(),
                        std::pair<int, std::string>{29, "s8=1049.5760"}),
              s.h.boxes.writes.end());
    EXPECT_EQ(s.h.boxes.text(27), "S9=799.645");
    EXPECT_EQ(s.count(odd(9)), 1);
}

// A side that no triangle can have is refused at its confirmation and asked again
// exactly as after a "0".
TEST(NamesAndSides, ZeroSidesAndNegativeRouteSidesAreRefused) {
    struct Case {
        int k;            // the side refused
        const char* bad;  // what was typed for it
    } const cases[] = {{1, "0"}, {1, "-100"}, {2, "0"}, {2, "-0"}, {3, "-90"}, {3, "0e3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "S" << c.k << " = " << c.bad);
        Session s(1);
        s.names();
        const char* good[] = {"", "100", "-80", "90"};
        for (int k = 1; k <= 3; ++k) {
            if (k == c.k) s.side(c.bad);
            s.side(good[k]);
        }
        s.enter();
        ASSERT_EQ(s.h.messages.said.size(), 1u);
        EXPECT_NE(s.h.messages.said[0].find("S" + std::to_string(c.k)), std::string::npos);
        const std::string prompt = c.k == 2 ? even(2) : odd(c.k);
        EXPECT_EQ(s.count(prompt), 2);
        EXPECT_EQ(s.state.side, (std::vector<double>{0, 100, 80, 90}));
        EXPECT_EQ(s.run.sideSign[1], -1);
        // Straight after the message the side is asked again from its own loop.
        const auto after = s.eventsFrom("! " + s.h.messages.said[0]);
        const std::string emptied = c.k == 2 ? "Text29: " : "Text27: ";
        EXPECT_EQ(after[1], emptied);
    }
}

TEST(NamesAndSides, TriangleThatCannotBeFormedIsEnteredAgain) {
    struct Case {
        const char *s1, *s2, *s3;  // the triangle that cannot be formed
        double s2again, s3again;   // S2 and S3 entered again, S2 right of the route
    } const cases[] = {
        {"100", "80", "300", 70, 110},    // the closing side too long
        {"100", "-300", "80", 70, 110},   // the even side too long
        {"300", "100", "80", 250, 110},   // the first route side too long
        {"100", "60", "40", 70, 110},     // flat
        {"100", "-60", "40", 70, 110},    // flat, right of the route
        {"100.25", "-60.125", "40.125", 70, 110},  // flat to the last bit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.s1 << ", " << c.s2 << ", " << c.s3);
        Session s(2);
        s.names();
        s.side(c.s1);
        s.side(c.s2);
        s.side(c.s3);
        s.side(generalNumber(-c.s2again));
        s.side(generalNumber(c.s3again));
        s.side("80");
        s.side("60");
        s.enter();
        ASSERT_EQ(s.h.messages.said.size(), 1u);
        const std::string& message = s.h.messages.said[0];
        for (const std::string& named : {std::string("第 1 个三角形"), "S1=" + std::string(c.s1),
                                         "S3=" + std::string(c.s3)})
            EXPECT_NE(message.find(named), std::string::npos) << message;
        // S1 stays; S2 and S3 are entered again from their start, Text28 included.
        EXPECT_EQ(s.count(odd(1)), 1);
        EXPECT_EQ(s.count(even(2)), 2);
        EXPECT_EQ(s.count(odd(3)), 2);
        EXPECT_EQ(s.eventsFrom("! " + message).at(1), "Text28: 现在请输入S2边长");
        EXPECT_EQ(s.state.side[1], parseNumber(c.s1));
        EXPECT_EQ(s.state.side[2], c.s2again);
        EXPECT_EQ(s.run.sideSign[1], -1);
        EXPECT_EQ(s.state.side[3], c.s3again);
        EXPECT_EQ(s.count(odd(5)), 1);
        EXPECT_EQ(s.h.prompter.remaining(), 0u);
    }

    // Just not flat is a triangle.
    Session s(1);
    s.names();
    for (const char* length : {"100", "60", "40.001"}) s.side(length);
    s.enter();
    EXPECT_TRUE(s.h.messages.said.empty());
}

TEST(NamesAndSides, CancelAbandonsAtANameButConfirmsAtASideConfirmation) {
    Session named(1);
    named.h.prompter.add("A");
    named.h.prompter.cancel();
    EXPECT_THROW(named.enter(), Cancelled);

    Session s(1);
    s.names();
    s.h.prompter.add("100");
    s.h.prompter.cancel();  // confirms S1
    s.side("80");
    s.side("90");
    s.enter();
    EXPECT_EQ(s.count(odd(1)), 1);
    EXPECT_EQ(s.state.side[1], 100);

    Session cancelled(1);
    cancelled.names();
    cancelled.side("100");
    cancelled.h.prompter.cancel();  // at the prompt of S2
    EXPECT_THROW(cancelled.enter(), Cancelled);
}

}  // namespace
}  // namespace trelvan
