#include "entry/confirmed_value.h"

#include <array>

#include "state/number_format.h"

namespace trelvan {

namespace {

// In the order of the Confirmed enumeration. Each value keeps its own texts: they
// differ in spacing, punctuation and wording from row to row.
const std::array<ConfirmedValue, 12> rows{{
    // Xa
    {1, 3, "请输入起始点 A 纵座标 :",
     "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误输入零( 即为:0 )",
     "输入起始点 A 正确的纵座标 :",
     "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 错误输入零( 即为:0 )",
     false, false},
    // Ya
    {2, 3, "请输入起始点 A 横座标 :",
     "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零( 即为:0 )",
     "输入起始点 A 正确的横座标 :",
     "确认座标输入是否正确 ?   输入正确单击: Enter 键; 输入错误按零( 即为:0 )",
     false, false},
    // Xb
    {3, 3, "请输入闭合点 B 纵座标 :",
     "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零( 即为:0 )",
     "输入闭合点 B 正确的纵座标 :",
     "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零( 即为:0 )",
     false, false},
    // Yb
    {4, 3, "请输入闭合点 B 横座标 :",
     "确认座标输入是否正确 ?   输入正确单击 Enter ; 输入错误按零( 即为:0 )",
     "输入闭合点 B 正确的横座标 :",
     "确认座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零( 即为:0 )",
     false, false},
    // Xpa
    {10, 3, "请输入位于起始点 A 外方向点的纵座标 : 如果用外方位角定向输入 0( 即: Xpa=0 )",
     "确认外方向点的纵座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入外方向点正确的纵座标 :",
     "确认外方向点的纵座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     true, false},
    // Ypa
    {30, 3, "请输入位于起始点 A 外方向点的横座标 : 如果用外方位角定向输入 0( 即: Ypa=0 )",
     "确认外方向点的横座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入外方向点正确的横座标 :",
     "确认外方向点 A 的横座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     true, false},
    // Xpb
    {31, 3, "请输入位于闭合点 B 外方向点的纵座标 Xpb : 如果用外方位角定向输入 0( 即: Xpb=0 )",
     "确认外方向点的纵座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入外方向点正确的纵座标 :",
     "确认外方向点的纵座标输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     true, false},
    // Ypb
    {32, 3, "请输入位于闭合点 B 外方向点的横座标 : 如果用外方位角定向输入 0( 即: Ypb=0 )",
     "确认外方向点的横座标输入是否正确 ?  输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入外方向点正确的横座标 :",
     "确认外方向的横座标输入是否正确 ?   输入正确单击按输入键或 OK 键(即为:Enter 键或 OK 键 ); 输入错误按零(即为:0 )",
     true, false},
    // Ta
    {5, 5, "请输入起始点 A 的外方位角 : ( Ta 方向由 A 点向外 )",
     "确认外方位角输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入正确的外方位角 : ( Ta 方向由 A 点向外 )",
     "确认外方位角输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     true, false},
    // Tb
    {6, 5, "请输入闭合点 B 的外方位角 : ( Tb 方向由 B 点向外 ),没有方位条件请输入 Tb=0",
     "确认外方位角输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入正确的外方位角 : ( Tb 方向由 B 点向外 ),没有方位条件请输入 Tb=0",
     "确认外方位角输入是否正确 ?   输入正确单击 Enter 键 ;输入错误按零(即为:0 )",
     true, true},
    // Qa
    {7, 5, "请输入起始点 A 的定向角 : (定向角由由外方向 Ta旋转至锁中第一条方位角推算边,如果由外方向 Ta 顺时针旋转至锁第一条边方位角推算边，Qa 请输入正值 ，如果由外方向 Ta反时针旋转至第一条边方位角推算边,则 Qa 请输入负值)",
     "确认定向角输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入正确的定向角 : (定向角由由外方向 Ta旋转至锁中第一条方位角推算边,如果由外方向 Ta 顺时针旋转至锁第一条边方位角推算边，Qa 请输入正值 ，如果由外方向 Ta反时针旋转至第一条边方位角推算边,则 Qa 请输入负值)",
     "确认定向角输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     false, false},
    // Qb
    {8, 5, "请输入闭合点 B 的定向角 : (定向角由锁中方位角推算终止边旋转至外方向 Tb,如果由锁边顺时针旋转至外方向 Tb，Qb 请输入正值 ,如果由锁边反时针旋转至外方向 Tb, 则 Qb 请输入负值,没有测量定向角,请输入 Qb=0",
     "确认定向角输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     "输入正确的定向角 : (定向角由锁中方位角推算终止边旋转至外方向 Tb,如果由锁边顺时针旋转至外方向 Tb，Qb 请输入正值 ,如果由锁边反时针旋转至外方向 Tb, 则 Qb 请输入负值,没有测量定向角,请输入 Qb=0",
     "确认定向角输入是否正确 ?   输入正确单击 Enter 键 ; 输入错误按零(即为:0 )",
     false, false},
}};

}  // namespace

const ConfirmedValue& confirmedValue(Confirmed which) {
    return rows[static_cast<std::size_t>(which)];
}

double enterConfirmed(Dialogue& dialogue, Confirmed which, std::string& confirmReply) {
    const ConfirmedValue& row = confirmedValue(which);
    const auto echo = [&](double value) { return " " + formatFixed(value, row.decimals); };

    double value = dialogue.askNumber(row.prompt, row.box);
    dialogue.setText(row.box, echo(value));
    bool confirmed = dialogue.confirm(row.firstConfirmation, confirmReply, row.box);
    while (!confirmed) {
        if (row.clearedBeforeReentry) dialogue.setText(row.box, "");
        std::string typed;
        value = dialogue.askNumber(row.reentryPrompt, typed, row.box);
        if (row.reentryShowsTyped) {
            dialogue.setText(row.box, typed);
            dialogue.setText(row.box, formatFixed(value, row.decimals));
        } else {
            dialogue.setText(row.box, echo(value));
        }
        confirmed = dialogue.confirm(row.repeatConfirmation, confirmReply, row.box);
    }
    dialogue.setText(row.box, echo(value));
    return value;
}

}  // namespace trelvan
