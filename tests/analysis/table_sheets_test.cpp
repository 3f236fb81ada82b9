// The analysis tables on sheets of paper, read back from the sheets as a reader
// would: every row once and in order, each table's heading row again on every sheet
// it continues on, columns aligned, nothing outside the margins, the marked rows
// shaded; long and unprintable names; the footers.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "analysis/analysed_chains.h"
#include "analysis/table_sheets.h"
#include "report/report.h"
#include "state/number_format.h"

namespace trelvan::analysis {
namespace {

double cellWidth(std::string_view text, double em) { return displayCells(text) * 0.5 * em; }

// The texts of a sheet in lines: those that share a top, left to right.
std::vector<std::vector<SheetText>> linesOf(const Sheet& sheet) {
    std::map<double, std::vector<SheetText>> byTop;
    for (const SheetText& t : sheet.texts) byTop[t.top].push_back(t);
    std::vector<std::vector<SheetText>> lines;
    for (auto& [top, line] : byTop) {
        std::sort(line.begin(), line.end(), [](const SheetText& a, const SheetText& b) { return a.left < b.left; });
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> textsOf(const std::vector<SheetText>& line) {
    std::vector<std::string> texts;
    for (const SheetText& t : line) texts.push_back(t.text);
    return texts;
}

std::vector<std::string> filled(const std::vector<std::string>& cells) {
    std::vector<std::string> out;
    for (const std::string& c : cells)
        if (!c.empty()) out.push_back(c);
    return out;
}

// Reads the sheets back and checks them against the tables: the heading first,
// then each table's title and heading row, its rows in order, and at the top of
// each further sheet it runs onto its title marked （续） and its heading row again.
void readBack(const TableSheets& sheets, const std::vector<Table>& tables, const std::vector<HeadingLine>& heading,
              const SheetSetup& setup) {
    std::size_t table = 0, row = 0, marked = 0, bands = 0;
    bool wantHeader = false;
    int rowsCounted = 0;
    for (int s = 0; s < sheets.count(); ++s) {
        SCOPED_TRACE("sheet " + std::to_string(s));
        const Sheet sheet = sheets.sheet(s);
        bands += sheet.bands.size();
        rowsCounted += sheets.rowsOn(s);
        const auto lines = linesOf(sheet);
        std::size_t l = 0;
        if (s == 0) {
            for (const HeadingLine& h : heading) {
                ASSERT_LT(l, lines.size());
                EXPECT_EQ(textsOf(lines[l++]), std::vector<std::string>{h.text});
            }
        }
        for (bool top = true; l < lines.size(); ++l, top = false) {
            const std::vector<std::string> texts = textsOf(lines[l]);
            if (wantHeader) {
                std::vector<std::string> header;
                for (const TableColumn& c : tables[table].columns) header.push_back(c.header);
                EXPECT_EQ(texts, header);
                wantHeader = false;
                continue;
            }
            // A table's rows are all read: the next line is the next table's title.
            if (table < tables.size() && row == tables[table].rows.size()) ++table, row = 0;
            const bool continued = row > 0;
            if (table < tables.size() && texts.size() == 1 &&
                texts[0] == tables[table].title + (continued ? "（续）" : "")) {
                EXPECT_TRUE(!continued || top) << "a table continues at the top of a sheet";
                wantHeader = true;
                continue;
            }
            ASSERT_LT(table, tables.size()) << texts[0];
            ASSERT_LT(row, tables[table].rows.size());
            std::vector<std::string> cells;
            for (const TableCell& c : tables[table].rows[row].cells) cells.push_back(c.text);
            EXPECT_EQ(texts, filled(cells)) << tables[table].title << " row " << row;
            marked += tables[table].rows[row].marked;
            ++row;
        }
        // Everything but the footer within the margins.
        for (const SheetText& t : sheet.texts) {
            EXPECT_GE(t.left, setup.margin - 1e-9) << t.text;
            EXPECT_LE(t.left + cellWidth(t.text, t.em), setup.width - setup.margin + 1e-9) << t.text;
            EXPECT_GE(t.top, setup.margin - 1e-9) << t.text;
            EXPECT_LE(t.top + t.em, setup.height - setup.bottomMargin + 1e-9) << t.text;
        }
    }
    EXPECT_EQ(table, tables.size() - 1);
    EXPECT_EQ(row, tables.back().rows.size());
    std::size_t rows = 0, shouldBeMarked = 0;
    for (const Table& t : tables) {
        rows += t.rows.size();
        for (const TableRow& r : t.rows) shouldBeMarked += r.marked;
    }
    EXPECT_EQ(static_cast<std::size_t>(rowsCounted), rows);
    EXPECT_EQ(marked, shouldBeMarked);
    EXPECT_EQ(bands, shouldBeMarked);
}

std::vector<HeadingLine> headingOf(const std::string& title) { return {{"精度分析", 5}, {title, 3.5}}; }

TEST(TableSheets, EveryRowOnceInOrderWithHeadingRowsOnEverySheet) {
    const auto a = testing::analysedGenerated("generated", {.triangles = 150, .seed = 7, .fanChance = 0.2});
    const auto precision = analyse(a.record);
    ASSERT_TRUE(precision);
    const std::vector<Table> tables = analysisTables(*precision);
    for (double height : {297.0, 120.0}) {  // A4, and a sheet so short that the closures table splits
        SheetSetup setup;
        setup.height = height;
        const TableSheets sheets(tables, headingOf("标题"), setup);
        EXPECT_GT(sheets.count(), height == 297 ? 15 : 40);
        readBack(sheets, tables, headingOf("标题"), setup);
    }
}

// Within a table every figure ends where its heading ends, and every word starts
// where its heading starts, on every sheet.
TEST(TableSheets, FiguresRightAlignedWordsLeftAligned) {
    const auto a = testing::analysedGenerated("generated", {.triangles = 40, .seed = 2});
    const auto precision = analyse(a.record);
    ASSERT_TRUE(precision);
    std::vector<Table> tables = analysisTables(*precision);
    const TableSheets sheets(tables, {}, SheetSetup{});
    const Table& points = tables[1];
    std::map<std::string, int> columnOf;  // heading → column
    for (std::size_t c = 0; c < points.columns.size(); ++c) columnOf[points.columns[c].header] = static_cast<int>(c);
    int checked = 0;
    for (int s = 0; s < sheets.count(); ++s) {
        std::vector<SheetText> header;
        for (const auto& line : linesOf(sheets.sheet(s))) {
            if (line.size() == points.columns.size() && line.front().text == points.columns.front().header) {
                header = line;
                continue;
            }
            // The points' rows: all their cells filled but the remark.
            if (header.empty() || line.size() < points.columns.size() - 1 || line.size() > points.columns.size())
                continue;
            for (std::size_t c = 0; c < line.size(); ++c) {
                const SheetText& h = header[c];
                const SheetText& t = line[c];
                if (points.columns[c].numeric)
                    EXPECT_NEAR(t.left + cellWidth(t.text, t.em), h.left + cellWidth(h.text, h.em), 1e-9) << t.text;
                else
                    EXPECT_NEAR(t.left, h.left, 1e-9) << t.text;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 40 * 10);
}

// Long names give way, cut short with "…", on A4 and on a sheet too narrow even for
// the figures at the smallest size, where all is set smaller; figures are never
// cut, and nothing runs off the sheet. Characters no page shows are replaced.
TEST(TableSheets, LongNamesGiveWayAndNothingRunsOffTheSheet) {
    auto a = testing::analysedGenerated("generated", {.triangles = 6, .seed = 4});
    std::string longName;
    for (int i = 0; i < 60; ++i) longName += "测";
    a.record.pointName[2] = longName;
    a.record.pointName[3] = "A\x01" "B";
    const auto precision = analyse(a.record);
    ASSERT_TRUE(precision);
    for (double width : {210.0, 120.0}) {
        SCOPED_TRACE(width);
        SheetSetup setup;
        setup.width = width;
        const TableSheets sheets(analysisTables(*precision), {}, setup);
        bool cut = false, replaced = false, figureWhole = false;
        for (int s = 0; s < sheets.count(); ++s) {
            for (const SheetText& t : sheets.sheet(s).texts) {
                EXPECT_LE(t.left + cellWidth(t.text, t.em), setup.width - setup.margin + 1e-9) << t.text;
                if (width == 210) {
                    EXPECT_GE(t.em, setup.smallestEm);
                }
                cut = cut || (t.text.rfind("测测", 0) == 0 && t.text.ends_with("…"));
                replaced = replaced || t.text == "A\xEF\xBF\xBD" "B";
                figureWhole = figureWhole || t.text == roundedFixed(precision->points[2].X, 3, 3);
            }
        }
        EXPECT_TRUE(cut);
        EXPECT_TRUE(replaced);
        EXPECT_TRUE(figureWhole);
    }
}

TEST(FitText, KeepsWhatFitsAndCutsBetweenCharacters) {
    const TextWidth measure = cellWidth;
    struct Case {
        const char* text;
        double width;  // mm at an em of 2 mm: one cell is 1 mm
        const char* fitted;
    } cases[] = {
        {"D12", 3, "D12"},
        {"D12", 2.9, "D…"},
        {"北山GPS", 7, "北山GPS"},
        {"北山GPS", 6, "北山G…"},
        {"北山GPS", 4, "北…"},   // "北山…" takes 5 cells
        {"北山GPS", 0.5, "…"},
        {"", 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(fitText(c.text, c.width, 2, measure), c.fitted) << c.text << " " << c.width;
}

TEST(PageFooter, DateAtTheLeftPageNumberAtTheRight) {
    const auto footer = pageFooter(210, 297, 15, "2026-12-08 14:03:27", 7, 12, cellWidth);
    ASSERT_EQ(footer.size(), 2u);
    EXPECT_EQ(footer[0].text, "计算时间：2026-12-08 14:03:27");
    EXPECT_EQ(footer[0].left, 15);
    EXPECT_EQ(footer[1].text, "第 7 页 共 12 页");
    EXPECT_NEAR(footer[1].left + cellWidth(footer[1].text, footer[1].em), 195, 1e-9);
    for (const SheetText& t : footer) {
        EXPECT_GT(t.top, 297 - 20);
        EXPECT_LT(t.top + t.em, 297 - 5);
    }
    // Landscape, and no date: the page number alone.
    const auto landscape = pageFooter(297, 210, 15, "", 3, 3, cellWidth);
    ASSERT_EQ(landscape.size(), 1u);
    EXPECT_NEAR(landscape[0].left + cellWidth(landscape[0].text, landscape[0].em), 282, 1e-9);
    EXPECT_GT(landscape[0].top, 190);
}

}  // namespace
}  // namespace trelvan::analysis
