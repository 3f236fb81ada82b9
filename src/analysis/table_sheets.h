#pragma once
// The analysis tables set out on sheets of paper, for a printed report: a heading
// on the first sheet, each table under its title with its columns aligned (figures
// right-aligned), the heading row repeated on every sheet a table continues on,
// and the rows that need a second look (over a limit, suspect, the weakest) marked.
// All in millimetres from the sheet's top left; a painter only draws what is here.

#include <string>
#include <vector>

#include "analysis/tables.h"
#include "state/text_width.h"

namespace trelvan::analysis {

// A text standing in the box from (left, top), `em` high.
struct SheetText {
    double left = 0, top = 0;
    double em = 0;
    std::string text;
};

// A ruled line, `weight` millimetres wide.
struct SheetRule {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double weight = 0.2;
};

// A marked row's band, shaded behind its texts.
struct SheetBand {
    double left = 0, top = 0, width = 0, height = 0;
};

struct Sheet {
    std::vector<SheetBand> bands;
    std::vector<SheetRule> rules;
    std::vector<SheetText> texts;
};

struct SheetSetup {
    double width = 210, height = 297;  // A4 portrait, mm
    double margin = 15;                // left, right and top
    double bottomMargin = 18;          // the footer stands in it
    double em = 3.2;                   // the tables' text (9 points)
    // A wide table is set smaller, but not below this unless even its figures alone
    // would not fit the sheet.
    double smallestEm = 2.5;
    TextWidth textWidth;               // empty: half an em for each display cell
};

// A line of the heading on the first sheet.
struct HeadingLine {
    std::string text;
    double em = 0;
};

// The tables on as many sheets as they need, one sheet made at a time.
class TableSheets {
public:
    TableSheets(std::vector<Table> tables, std::vector<HeadingLine> heading, SheetSetup setup);

    int count() const { return static_cast<int>(sheets_.size()); }
    // The table rows that stand on sheet `index`, heading rows not counted.
    int rowsOn(int index) const;
    Sheet sheet(int index) const;

private:
    // A run of one table's rows on one sheet.
    struct Block {
        int table = 0;
        int firstRow = 0, rows = 0;
        bool continued = false;  // the table began on an earlier sheet
        double top = 0;          // of its title
    };
    struct SheetPlan {
        bool heading = false;
        std::vector<Block> blocks;
    };
    // How one table is set: its em and where its columns stand.
    struct Columns {
        double em = 0;
        std::vector<double> left, width;  // mm; a text wider than its column is cut short
    };

    double rowHeight(int table) const;
    double titleHeight() const;
    double headingHeight() const;
    void setColumns();
    void paginate();
    void addRow(Sheet& sheet, int table, const std::vector<std::string>& cells, double top) const;

    std::vector<Table> tables_;
    std::vector<HeadingLine> heading_;
    SheetSetup setup_;
    std::vector<Columns> columns_;
    std::vector<SheetPlan> sheets_;
};

// The precision analysis on sheets: a heading that names it, the adjustment's
// title line and what the shaded rows mean, then its tables.
TableSheets analysisSheets(const ChainPrecision& precision, const std::string& title, SheetSetup setup);

// The footer of a page: the date and time of the computation at the left, the job
// file's name (when there is one) in the middle, "第 i 页 共 n 页" at the right, in
// the bottom margin of a sheet of the given size.
std::vector<SheetText> pageFooter(double width, double height, double margin, const std::string& computedAt,
                                  int page, int pages, const TextWidth& textWidth, const std::string& jobFile = {});

// The text cut short, ending in "…", to fit `width` millimetres at em `em`.
using trelvan::fitText;

}  // namespace trelvan::analysis
