// The known-data dialogue: coordinates, direction points, external azimuths,
// orientation angles, the case display and the angle tolerance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>

#include "entry/confirmed_value.h"
#include "entry/dialogue.h"
#include "entry/entry.h"
#include "state/failure.h"
#include "support/scripted.h"

namespace trelvan {
namespace {

using testing::Harness;

const std::string xaPrompt = "请输入起始点 A 纵座标 :";
const std::string xaFirst = "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误输入零( 即为:0 )";
const std::string xaReentry = "输入起始点 A 正确的纵座标 :";
const std::string xaRepeat = "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 错误输入零( 即为:0 )";
const std::string ypaReentry = "输入外方向点正确的横座标 :";
const std::string taPrompt = "请输入起始点 A 的外方位角 : ( Ta 方向由 A 点向外 )";
const std::string tbPrompt = "请输入闭合点 B 的外方位角 : ( Tb 方向由 B 点向外 ),没有方位条件请输入 Tb=0";
const std::string tbReentry = "输入正确的外方位角 : ( Tb 方向由 B 点向外 ),没有方位条件请输入 Tb=0";
const std::string tbRepeat = "确认外方位角输入是否正确 ?   输入正确单击 Enter 键 ;输入错误按零(即为:0 )";
const std::string withCondition = "   平差有方位条件";
const std::string withoutCondition = "    平差没有方位条件";

// The replies of one known-data dialogue; every value is confirmed with Enter.
struct Known {
    std::string xa = "1000", ya = "2000", xb = "1500", yb = "2100";
    std::string xpa = "0", ypa = "0", xpb = "0", ypb = "0";
    std::string ta = "45.3", tb = "123.453", qa = "-0.3015", qb = "12.0015";
    std::string tolerance = "6";
};

constexpr int n = 3;

// One run of the dialogue over scripted replies.
struct Session {
    Session() { sizeArrays(state, run, n); }

    void script(const Known& k) {
        const auto confirmed = [&](const std::string& value) {
            h.prompter.add(value);
            h.prompter.add("");
        };
        for (const auto* v : {&k.xa, &k.ya, &k.xb, &k.yb, &k.xpa, &k.ypa, &k.xpb, &k.ypb})
            confirmed(*v);
        if (k.xpa == "0" && k.ypa == "0") confirmed(k.ta);
        if (k.xpb == "0" && k.ypb == "0") confirmed(k.tb);
        confirmed(k.qa);
        confirmed(k.qb);
        h.prompter.add(k.tolerance);
    }
    void enter() { enterKnownData(dialogue, state, run); }

    // Every text written to `box`, in order.
    std::vector<std::string> writesTo(int box) const {
        std::vector<std::string> texts;
        for (const auto& [b, text] : h.boxes.writes)
            if (b == box) texts.push_back(text);
        return texts;
    }
    bool asked(const std::string& prompt) const {
        const auto& p = h.prompter.prompts;
        return std::find(p.begin(), p.end(), prompt) != p.end();
    }
    // Position of an event in the log, or -1.
    long eventAt(const std::string& event) const {
        const auto& e = h.log.events;
        const auto it = std::find(e.begin(), e.end(), event);
        return it == e.end() ? -1 : it - e.begin();
    }

    Harness h;
    Dialogue dialogue{h.prompter, h.boxes, h.messages};
    ChainState state;
    RunValues run;
};

class KnownData : public ::testing::Test, protected Session {};

TEST_F(KnownData, TypedAnglesAreConvertedWithTheirSigns) {
    script({});
    enter();
    EXPECT_EQ(h.prompter.remaining(), 0u);
    EXPECT_TRUE(h.messages.said.empty());

    EXPECT_EQ(state.taEntered, 45.3);
    EXPECT_EQ(state.tbEntered, 123.453);
    EXPECT_NEAR(run.Ta, 45.5, 1e-12);
    EXPECT_NEAR(run.Tb, 123.758333333333, 1e-9);
    EXPECT_EQ(run.sideSign[0], -1);
    EXPECT_NEAR(run.Qa, -0.504166666667, 1e-9);
    EXPECT_EQ(run.sideSign[n + 1], 1);
    EXPECT_NEAR(run.Qb, 12.004166666667, 1e-9);

    EXPECT_EQ(h.boxes.text(5), " 45.30000");
    EXPECT_EQ(h.boxes.text(6), " 123.45300");
    EXPECT_EQ(h.boxes.text(7), " -0.30150");
    EXPECT_EQ(h.boxes.text(14), withCondition);
    EXPECT_EQ(h.boxes.text(25), "  6.00秒");
    // The orientation boxes are emptied before their prompts.
    EXPECT_EQ(writesTo(7).front(), "");
    EXPECT_EQ(writesTo(8).front(), "");
}

TEST_F(KnownData, AzimuthConditionOnlyWithClosingAzimuthAndOrientationAngle) {
    struct Case {
        const char *tb, *qb;
        const std::string& display;
        int qbSign;
    } const cases[] = {
        {"0", "0", withoutCondition, 0},
        {"0", "12.0015", withoutCondition, 1},
        {"123.453", "0", withoutCondition, 0},
        {"123.453", "-0.0001", withCondition, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "Tb=" << c.tb << " Qb=" << c.qb);
        Session r;
        Known k;
        k.tb = c.tb;
        k.qb = c.qb;
        r.script(k);
        r.enter();
        EXPECT_EQ(r.h.boxes.text(14), c.display);
        EXPECT_EQ(r.run.sideSign[n + 1], c.qbSign);
    }
}

TEST_F(KnownData, DirectionPointsGiveTheAzimuthsAndAreKeptAsTyped) {
    state.taEntered = 45.3;  // from an earlier run with a typed azimuth
    state.tbEntered = 100;
    Known k;
    k.xa = "3456931.301", k.ya = "38123456.789";  // national grid
    k.xb = "3458012.557", k.yb = "38125011.204";
    k.xpa = "3457931.301", k.ypa = "38124456.789";  // north-east of A
    k.xpb = "3459012.557", k.ypb = "38125011.204";  // due north of B
    script(k);
    enter();
    EXPECT_EQ(h.prompter.remaining(), 0u);
    EXPECT_FALSE(asked(taPrompt));
    EXPECT_FALSE(asked(tbPrompt));

    EXPECT_EQ(state.Xpa, 3457931.301);
    EXPECT_EQ(state.Ypa, 38124456.789);
    EXPECT_EQ(h.boxes.text(30), " 38124456.789");
    EXPECT_EQ(h.boxes.text(32), " 38125011.204");

    EXPECT_NEAR(run.Ta, 45, 5e-9);
    EXPECT_EQ(h.boxes.text(5), "45度");
    EXPECT_EQ(run.Tb, 0);
    EXPECT_EQ(h.boxes.text(6), "0度");
    EXPECT_EQ(h.boxes.text(14), withoutCondition);  // no closing azimuth
    // Nothing was typed in this dialogue: the azimuths typed in an earlier one are
    // gone. A is oriented by its direction point.
    EXPECT_EQ(state.taEntered, 0);
    EXPECT_EQ(state.tbEntered, 0);
    EXPECT_TRUE(state.orientedAtA);
}

TEST_F(KnownData, OneDirectionValueAloneOrientsNothing) {
    state.taEntered = 45.3;
    Known k;
    k.xpa = "1234.5";
    k.ypa = "0";
    script(k);
    enter();
    EXPECT_EQ(h.prompter.remaining(), 0u);
    EXPECT_FALSE(asked(taPrompt));
    EXPECT_TRUE(writesTo(5).empty());
    EXPECT_EQ(run.Ta, 0);
    EXPECT_EQ(state.taEntered, 0);  // not the 45.3 of an earlier dialogue
    EXPECT_FALSE(state.orientedAtA);
    EXPECT_TRUE(asked(tbPrompt));
}

TEST_F(KnownData, ZeroTwiceAtTheConfirmationAsksTwiceWithTheRepeatText) {
    for (const char* r : {"1000", "0", "1001", "0", "1002", ""}) h.prompter.add(r);
    state.Xa = enterConfirmed(dialogue, Confirmed::Xa, run.confirmReply);
    const std::vector<std::string> expected{xaPrompt,  xaFirst,   xaReentry,
                                            xaRepeat, xaReentry, xaRepeat};
    EXPECT_EQ(h.prompter.prompts, expected);
    // Text1 is not emptied: the old echo stands until the new value is typed.
    const std::vector<std::string> echoes{" 1000.000", " 1001.000", " 1002.000", " 1002.000"};
    EXPECT_EQ(writesTo(1), echoes);
    EXPECT_EQ(state.Xa, 1002);
}

TEST_F(KnownData, OnlyTheNumberZeroAsksAgain) {
    struct Case {
        Reply reply;
        bool reenters;
    } const cases[] = {
        {Reply::typed("0"), true},      {Reply::typed("00"), true},
        {Reply::typed(" 0"), true},     {Reply::typed("-0"), true},
        {Reply::typed("0.0e5"), true},  {Reply::typed(""), false},
        {Reply::typed("abc"), false},   {Reply::typed("0.0001"), false},
        {Reply::typed("0 0"), false},   {Reply::cancel(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "reply '" << c.reply.text << "'");
        Session r;
        r.h.prompter.add("1234.5678");
        r.h.prompter.add(c.reply);
        r.h.prompter.add("1000");
        r.h.prompter.add("");
        const double xa = enterConfirmed(r.dialogue, Confirmed::Xa, r.run.confirmReply);
        EXPECT_EQ(xa, c.reenters ? 1000 : 1234.5678);
        EXPECT_EQ(r.h.prompter.remaining(), c.reenters ? 0u : 2u);
        EXPECT_EQ(r.h.boxes.text(1), c.reenters ? " 1000.000" : " 1234.568");
        if (c.reply.kind == Reply::Kind::Text && !c.reenters) {
            EXPECT_EQ(r.run.confirmReply, c.reply.text);
        }
    }
}

TEST_F(KnownData, ClearedBoxIsEmptyWhileTheReentryPromptIsOpen) {
    for (const char* r : {"3500", "0", "3501", ""}) h.prompter.add(r);  // Yb: kept
    for (const char* r : {"5", "0", "0", ""}) h.prompter.add(r);        // Ypa: cleared
    enterConfirmed(dialogue, Confirmed::Yb, run.confirmReply);
    const double ypa = enterConfirmed(dialogue, Confirmed::Ypa, run.confirmReply);

    EXPECT_EQ(eventAt("Text4: "), -1);
    const long reentry = eventAt("? " + ypaReentry);
    ASSERT_GT(reentry, 0);
    EXPECT_EQ(h.log.events[reentry - 1], "Text30: ");
    EXPECT_EQ(ypa, 0);
    EXPECT_EQ(h.boxes.text(30), " 0.000");
}

TEST_F(KnownData, ReenteredClosingAzimuthIsShownAsTypedThenUnpadded) {
    for (const char* r : {"100", "0", "x", " 100.30 ", ""}) h.prompter.add(r);
    state.tbEntered = enterConfirmed(dialogue, Confirmed::Tb, run.confirmReply);
    const long reentry = eventAt("? " + tbReentry);
    ASSERT_GT(reentry, 0);
    const std::vector<std::string> after(h.log.events.begin() + reentry - 1, h.log.events.end());
    const std::vector<std::string> expected{
        "Text6: ",  // cleared
        "? " + tbReentry, "> x", "! 输入的不是一个数，请重新输入。",
        "? " + tbReentry, ">  100.30 ",
        "Text6:  100.30 ", "Text6: 100.30000",
        "? " + tbRepeat, "> ",
        "Text6:  100.30000",
    };
    EXPECT_EQ(after, expected);
    EXPECT_EQ(state.tbEntered, 100.3);
}

TEST_F(KnownData, ValueRepliesThatAreNotNumbersChangeNothing) {
    for (const char* r : {"", "12abc", "1,5", "1e400", "nan", "1000", ""}) h.prompter.add(r);
    const double xa = enterConfirmed(dialogue, Confirmed::Xa, run.confirmReply);
    EXPECT_EQ(xa, 1000);
    EXPECT_EQ(h.messages.said.size(), 5u);
    EXPECT_EQ(writesTo(1), (std::vector<std::string>{" 1000.000", " 1000.000"}));
    EXPECT_EQ(std::count(h.prompter.prompts.begin(), h.prompter.prompts.end(), xaPrompt), 6);
}

TEST_F(KnownData, CancelAtAValuePromptAbandonsAndTheEndOfInputStops) {
    h.prompter.add("1000");
    h.prompter.add("");
    h.prompter.cancel();
    EXPECT_THROW(enter(), Cancelled);

    Session r;
    r.h.prompter.add("1000");
    EXPECT_THROW(r.enter(), InputEnded);
}

TEST_F(KnownData, ToleranceIsHeldAsAFloat) {
    Known k;
    k.tolerance = "1e39";
    script(k);
    h.prompter.add("-1e39");
    h.prompter.add("1.345");
    enter();
    EXPECT_EQ(h.messages.said.size(), 2u);
    EXPECT_EQ(state.mb, 1.345f);
    // 1.345 is held as the float 1.34500003, which shows as 1.35; the double
    // 1.34499999… would show 1.34.
    EXPECT_EQ(h.boxes.text(25), "  1.35秒");

    Session largest;
    Known k2;
    k2.tolerance = "3.4028234e38";  // rounds to the largest float
    largest.script(k2);
    largest.enter();
    EXPECT_TRUE(largest.h.messages.said.empty());
    EXPECT_EQ(largest.state.mb, FLT_MAX);
}

}  // namespace
}  // namespace trelvan
