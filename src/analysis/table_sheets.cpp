#include "analysis/table_sheets.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "report/page_foot.h"
#include "state/text_width.h"

namespace trelvan::analysis {

namespace {

// Between columns, in ems of the table's text.
constexpr double columnGap = 1.2;
// A row is this many ems high; a table's title this many title ems.
constexpr double rowEms = 1.55;
constexpr double titleEms = 2.0;
// The title's em over the table text's.
constexpr double titleScale = 1.2;
// A text column is never narrowed below this many ems.
constexpr double narrowestColumn = 4.0;
// A table starts on a new sheet unless its title, heading row and this many rows fit.
constexpr int rowsKeptWithHead = 3;
// Room left below a table, in ems of the sheets' text.
constexpr double tableGap = 1.5;
// The footer's em (8 points), and how far its bottom stands above the sheet's bottom
// edge: where the printed report's pages have theirs in a PDF, on the bottom of the
// printable area.
constexpr double footerEm = 2.8;
constexpr double footerAbove = 10.0;

constexpr const char* continuedMark = "（续）";

// Every cell of a table as it is drawn: no control characters.
std::string shown(const std::string& text) { return drawnText(text, 1 << 30); }

}  // namespace

TableSheets::TableSheets(std::vector<Table> tables, std::vector<HeadingLine> heading, SheetSetup setup)
    : tables_(std::move(tables)), heading_(std::move(heading)), setup_(std::move(setup)) {
    if (!setup_.textWidth) setup_.textWidth = estimatedTextWidth;
    for (Table& table : tables_) {
        for (TableColumn& c : table.columns) c.header = shown(c.header);
        for (TableRow& row : table.rows)
            for (TableCell& cell : row.cells) cell.text = shown(cell.text);
    }
    setColumns();
    paginate();
}

void TableSheets::setColumns() {
    const double room = setup_.width - 2 * setup_.margin;
    for (const Table& table : tables_) {
        const std::size_t n = table.columns.size();
        // Widths at an em of one millimetre: every width grows with the em.
        std::vector<double> natural(n, 0);
        for (std::size_t c = 0; c < n; ++c) natural[c] = setup_.textWidth(table.columns[c].header, 1);
        for (const TableRow& row : table.rows)
            for (std::size_t c = 0; c < row.cells.size() && c < n; ++c)
                natural[c] = std::max(natural[c], setup_.textWidth(row.cells[c].text, 1));
        double total = columnGap * static_cast<double>(n > 0 ? n - 1 : 0);
        for (double w : natural) total += w;

        Columns set;
        set.em = std::clamp(room / std::max(total, 1e-9), setup_.smallestEm, setup_.em);
        set.width.resize(n);
        for (std::size_t c = 0; c < n; ++c) set.width[c] = natural[c] * set.em;
        // Still too wide at the smallest em: the widest text columns (a long point
        // name) give way, down to a common width that fits.
        double excess = total * set.em - room;
        if (excess > 0) {
            std::vector<double> text;
            for (std::size_t c = 0; c < n; ++c)
                if (!table.columns[c].numeric) text.push_back(set.width[c]);
            std::sort(text.rbegin(), text.rend());
            const double floor = narrowestColumn * set.em;
            double cap = text.empty() ? 0 : text.front();
            for (std::size_t k = 0; k < text.size() && excess > 0; ++k) {
                const double next = std::max(k + 1 < text.size() ? text[k + 1] : floor, floor);
                const double step = std::min(cap - next, excess / static_cast<double>(k + 1));
                cap -= step;
                excess -= step * static_cast<double>(k + 1);
            }
            for (std::size_t c = 0; c < n; ++c)
                if (!table.columns[c].numeric) set.width[c] = std::min(set.width[c], cap);
            // A sheet too narrow even for the figures: all is set smaller still, so
            // that nothing runs off the paper.
            double narrowed = columnGap * set.em * static_cast<double>(n > 0 ? n - 1 : 0);
            for (double w : set.width) narrowed += w;
            if (narrowed > room) {
                const double k = room / narrowed;
                set.em *= k;
                for (double& w : set.width) w *= k;
            }
        }
        double x = setup_.margin;
        for (std::size_t c = 0; c < n; ++c) {
            set.left.push_back(x);
            x += set.width[c] + columnGap * set.em;
        }
        columns_.push_back(std::move(set));
    }
}

double TableSheets::rowHeight(int table) const { return rowEms * columns_[static_cast<std::size_t>(table)].em; }
double TableSheets::titleHeight() const { return titleEms * titleScale * setup_.em; }
double TableSheets::headingHeight() const {
    double h = 0;
    for (const HeadingLine& line : heading_) h += 1.6 * line.em;
    return h + (heading_.empty() ? 0 : setup_.em);
}

void TableSheets::paginate() {
    const double top = setup_.margin, bottom = setup_.height - setup_.bottomMargin;
    sheets_.push_back({true, {}});
    double y = top + headingHeight();
    const auto newSheet = [&] {
        sheets_.push_back({false, {}});
        y = top;
    };
    for (int t = 0; t < static_cast<int>(tables_.size()); ++t) {
        const int rows = static_cast<int>(tables_[static_cast<std::size_t>(t)].rows.size());
        const double row = rowHeight(t), head = titleHeight() + row;
        // Keep a table's title and heading row with its first rows.
        const bool fresh = sheets_.back().blocks.empty() && !(sheets_.back().heading && !heading_.empty());
        if (!fresh && y + head + row * std::min(rows, rowsKeptWithHead) > bottom) newSheet();
        int first = 0;
        bool continued = false;
        do {
            // At least one row a sheet, however short the sheet, so that this ends.
            const int fit = std::max(1, static_cast<int>(std::floor((bottom - y - head) / row + 1e-9)));
            const int take = std::min(rows - first, fit);
            sheets_.back().blocks.push_back({t, first, take, continued, y});
            y += head + row * take + tableGap * setup_.em;
            first += take;
            continued = true;
            if (first < rows) newSheet();
        } while (first < rows);
    }
}

int TableSheets::rowsOn(int index) const {
    int rows = 0;
    if (index >= 0 && index < count())
        for (const Block& b : sheets_[static_cast<std::size_t>(index)].blocks) rows += b.rows;
    return rows;
}

void TableSheets::addRow(Sheet& sheet, int table, const std::vector<std::string>& cells, double top) const {
    const Table& t = tables_[static_cast<std::size_t>(table)];
    const Columns& set = columns_[static_cast<std::size_t>(table)];
    const double em = set.em, textTop = top + (rowEms - 1) * em / 2;
    for (std::size_t c = 0; c < cells.size() && c < t.columns.size(); ++c) {
        if (cells[c].empty()) continue;
        const std::string text = fitText(cells[c], set.width[c], em, setup_.textWidth);
        const double w = setup_.textWidth(text, em);
        const double left = t.columns[c].numeric ? set.left[c] + set.width[c] - w : set.left[c];
        sheet.texts.push_back({left, textTop, em, text});
    }
}

Sheet TableSheets::sheet(int index) const {
    Sheet sheet;
    if (index < 0 || index >= count()) return sheet;
    const SheetPlan& plan = sheets_[static_cast<std::size_t>(index)];
    if (plan.heading) {
        double y = setup_.margin;
        for (const HeadingLine& line : heading_) {
            const double w = setup_.textWidth(line.text, line.em);
            sheet.texts.push_back({(setup_.width - w) / 2, y + 0.3 * line.em, line.em, line.text});
            y += 1.6 * line.em;
        }
    }
    for (const Block& b : plan.blocks) {
        const Table& t = tables_[static_cast<std::size_t>(b.table)];
        const Columns& set = columns_[static_cast<std::size_t>(b.table)];
        const double row = rowHeight(b.table), titleEm = titleScale * setup_.em;
        const double left = set.left.empty() ? setup_.margin : set.left.front() - 0.4 * set.em;
        const double right = set.left.empty() ? left : set.left.back() + set.width.back() + 0.4 * set.em;
        sheet.texts.push_back({setup_.margin, b.top + (titleEms - 1) * titleEm / 2, titleEm,
                               t.title + (b.continued ? continuedMark : "")});
        double y = b.top + titleHeight();
        std::vector<std::string> cells;
        for (const TableColumn& c : t.columns) cells.push_back(c.header);
        sheet.rules.push_back({left, y, right, y, 0.35});
        addRow(sheet, b.table, cells, y);
        y += row;
        sheet.rules.push_back({left, y, right, y, 0.2});
        for (int r = b.firstRow; r < b.firstRow + b.rows; ++r) {
            const TableRow& tr = t.rows[static_cast<std::size_t>(r)];
            if (tr.marked) sheet.bands.push_back({left, y, right - left, row});
            cells.clear();
            for (const TableCell& c : tr.cells) cells.push_back(c.text);
            addRow(sheet, b.table, cells, y);
            y += row;
        }
        sheet.rules.push_back({left, y, right, y, 0.35});
    }
    return sheet;
}

TableSheets analysisSheets(const ChainPrecision& precision, const std::string& title, SheetSetup setup) {
    const double em = setup.em;
    std::vector<HeadingLine> heading = {{"精度分析", 1.6 * em}, {title, 1.1 * em},
                                        {"灰底的行：闭合差超限、整体检验未通过、可疑的观测值、最弱点、最弱边和小于 30° 的最小角。", 0.95 * em}};
    return TableSheets(analysisTables(precision), std::move(heading), std::move(setup));
}

std::vector<SheetText> pageFooter(double width, double height, double margin, const std::string& computedAt,
                                  int page, int pages, const TextWidth& textWidth, const std::string& jobFile) {
    const TextWidth& measure = textWidth ? textWidth : TextWidth(estimatedTextWidth);
    const double top = height - footerAbove - footerEm;
    std::vector<SheetText> footer;
    for (FootText& t : layOutFoot({computedAt, jobFile}, page, pages, width - 2 * margin, footerEm, measure))
        footer.push_back({margin + t.left, top, footerEm, std::move(t.text)});
    return footer;
}

}  // namespace trelvan::analysis
