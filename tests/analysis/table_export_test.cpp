// The tables in a chosen order, on the clipboard and in a spreadsheet: the order of
// figures and words, tab-separated lines, and CSV as a spreadsheet reads it.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "analysis/table_export.h"

namespace trelvan::analysis {
namespace {

TableCell f(const char* text, double value) { return {text, value}; }
TableCell w(const char* text) { return {text, std::nullopt}; }

// The texts of `cells` sorted by cellBefore, as a stable sort does it.
std::vector<std::string> sorted(std::vector<TableCell> cells, bool descending) {
    std::stable_sort(cells.begin(), cells.end(),
                     [&](const TableCell& a, const TableCell& b) { return cellBefore(a, b, descending); });
    std::vector<std::string> texts;
    for (const TableCell& c : cells) texts.push_back(c.text);
    return texts;
}

TEST(TableOrder, FiguresByValueThenWordsWithTheirNumbersAsNumbers) {
    struct Case {
        const char* what;
        std::vector<TableCell> cells;
        std::vector<std::string> ascending, descending;
    } cases[] = {
        // The texts would sort "-1.07" before "-0.14" and "10.00" before "9.00".
        {"signed figures", {f("-0.14", -0.14), f("10.00", 10), f("-1.07", -1.07), f("9.00", 9)},
         {"-1.07", "-0.14", "9.00", "10.00"}, {"10.00", "9.00", "-0.14", "-1.07"}},
        // 1/T by the relative error behind it: 1/214974 is the larger error.
        {"relative errors", {f("1/499433", 2.0022e-6), f("1/214974", 4.6517e-6), f("1/96", 1.0 / 96)},
         {"1/499433", "1/214974", "1/96"}, {"1/96", "1/214974", "1/499433"}},
        // Equal figures keep their order in either direction; words come last both ways.
        {"words last, ties kept",
         {w("不可检测"), f("0.88a", 0.88), f("3.30", 3.3), w("未给限差"), f("0.88b", 0.88)},
         {"0.88a", "0.88b", "3.30", "不可检测", "未给限差"},
         {"3.30", "0.88a", "0.88b", "未给限差", "不可检测"}},
        {"side names", {w("S10"), w("S2"), w("S1"), w("S100"), w("S9")},
         {"S1", "S2", "S9", "S10", "S100"}, {"S100", "S10", "S9", "S2", "S1"}},
        {"point names",
         {w("D10"), w("D9"), w("D09"), w("K07"), w("D"), w("定向角 Qb"), w("定向角 Qa"), w("D9a")},
         {"D", "D09", "D9", "D9a", "D10", "K07", "定向角 Qa", "定向角 Qb"},
         {"定向角 Qb", "定向角 Qa", "K07", "D10", "D9a", "D9", "D09", "D"}},
        // A run of digits longer than any integer type still compares by size.
        {"long digit runs", {w("P123456789012345678901"), w("P99999999999999999999"), w("P0")},
         {"P0", "P99999999999999999999", "P123456789012345678901"},
         {"P123456789012345678901", "P99999999999999999999", "P0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(sorted(c.cells, false), c.ascending);
        EXPECT_EQ(sorted(c.cells, true), c.descending);
        // A strict order: nothing stands before itself.
        for (const TableCell& cell : c.cells) EXPECT_FALSE(cellBefore(cell, cell, false) || cellBefore(cell, cell, true));
    }
}

// A table as the analysis gives them, with a short row (two cells of five) and the
// texts a point name may bring.
Table sample() {
    return {"点位精度",
            {{"点名", false}, {"mp (毫米)", true}, {"结论", false}},
            {{{w("K07"), f("0.00", 0), w("")}, false},
             {{w("D3"), f("4.69", 4.69), w("最弱点")}, true},
             {{w("A,B \"东\""), f("-1.02秒", -1.02), w("合格")}, false},
             {{w("=HYPERLINK(\"x\")"), f("1.00", 1)}, false},
             {{w("-K1"), f("2.00", 2), w("line\nbreak\tand tab")}, false}}};
}

TEST(TableText, TabSeparatedInTheOrderAndColumnsAsked) {
    const Table t = sample();
    struct Case {
        const char* what;
        std::vector<int> rows, columns;
        bool header;
        std::string expected;
    } cases[] = {
        {"whole, with its header", {0, 1}, {0, 1, 2}, true,
         "点名\tmp (毫米)\t结论\nK07\t0.00\t\nD3\t4.69\t最弱点\n"},
        {"rows in the order shown, some columns", {1, 0}, {2, 0}, false, "最弱点\tD3\n\tK07\n"},
        // Texts as shown, commas and quotes untouched; tabs and line breaks inside a
        // text would break the columns and become blanks.
        {"texts as shown", {2, 4}, {0, 1, 2}, false,
         "A,B \"东\"\t-1.02秒\t合格\n-K1\t2.00\tline break and tab\n"},
        {"a short row keeps its columns", {3}, {0, 1, 2}, false, "=HYPERLINK(\"x\")\t1.00\t\n"},
        {"nothing", {}, {0}, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tableTsv(t, c.rows, c.columns, c.header), c.expected);
    }
}

TEST(TableText, CsvAsASpreadsheetReadsIt) {
    const Table t = sample();
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(tableCsv(t, tableOrder(t)),
              bom +
                  "点名,mp (毫米),结论\r\n"
                  "K07,0.00,\r\n"
                  "D3,4.69,最弱点\r\n"
                  "\"A,B \"\"东\"\"\",-1.02秒,合格\r\n"      // quoted, quotes doubled
                  "\"'=HYPERLINK(\"\"x\"\")\",1.00,\r\n"   // a name is never a formula
                  "'-K1,2.00,\"line\nbreak\tand tab\"\r\n");  // a figure keeps its sign
    EXPECT_EQ(tableCsv(t, {1}), bom + "点名,mp (毫米),结论\r\nD3,4.69,最弱点\r\n");
    EXPECT_EQ(tableOrder(t), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(TableText, CsvGuardsEveryFormulaStartOfAWordAndNothingElse) {
    // The characters a spreadsheet takes as the start of a formula or a command.
    for (const char* name : {"=1+1", "+1", "-1", "@SUM(A1)", "\tx", "\rx"}) {
        const Table t{"", {{"点名", false}}, {{{w(name)}, false}}};
        const std::string csv = tableCsv(t, {0});
        SCOPED_TRACE(name);
        const std::string line = csv.substr(csv.find("\r\n") + 2);
        EXPECT_EQ(line.find('\''), line.front() == '"' ? 1u : 0u) << line;
    }
    for (const char* name : {"D1", "K=1", "东-1", "'quoted"}) {
        const Table t{"", {{"点名", false}}, {{{w(name)}, false}}};
        const std::string csv = tableCsv(t, {0});
        EXPECT_EQ(csv.substr(csv.find("\r\n") + 2), std::string(name) + "\r\n");
    }
}

}  // namespace
}  // namespace trelvan::analysis
