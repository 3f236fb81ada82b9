#include "analysis/table_export.h"

#include <cstddef>
#include <numeric>
#include <string_view>

namespace trelvan::analysis {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Compares two texts with every run of ASCII digits taken as the number it spells
// and everything else byte by byte (for UTF-8, code point by code point). Texts
// that spell the same (D7 and D07) fall back to their bytes, so that the order is
// total. Returns <0, 0 or >0.
int compareNatural(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei])) ++ei;
            while (ej < b.size() && isDigit(b[ej])) ++ej;
            // Leading zeros say nothing of the size; then the longer run is larger,
            // and runs of one length compare digit by digit.
            std::size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
            if (const int c = a.substr(si, ei - si).compare(b.substr(sj, ej - sj)); c != 0) return c;
            i = ei;
            j = ej;
            continue;
        }
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    return a.compare(b);
}

// A text as one field of a tab-separated line.
std::string tsvField(const std::string& text) {
    std::string field = text;
    for (char& c : field)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return field;
}

std::string csvField(const TableCell& cell) {
    std::string text = cell.text;
    if (!cell.value && !text.empty()) {
        const char first = text.front();
        if (first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' || first == '\r')
            text.insert(text.begin(), '\'');
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

}  // namespace

bool cellBefore(const TableCell& a, const TableCell& b, bool descending) {
    if (a.value && b.value) return descending ? *a.value > *b.value : *a.value < *b.value;
    if (a.value || b.value) return a.value.has_value();  // figures first, either way
    const int c = compareNatural(a.text, b.text);
    return descending ? c > 0 : c < 0;
}

std::string tableTsv(const Table& table, const std::vector<int>& rows, const std::vector<int>& columns,
                     bool withHeader) {
    std::string out;
    const auto line = [&](const auto& textOf) {
        bool first = true;
        for (const int c : columns) {
            if (!first) out += '\t';
            first = false;
            out += tsvField(textOf(c));
        }
        out += '\n';
    };
    if (withHeader) line([&](int c) -> const std::string& { return table.columns[c].header; });
    for (const int r : rows) {
        const TableRow& row = table.rows[r];
        static const std::string none;
        line([&](int c) -> const std::string& {
            return c < static_cast<int>(row.cells.size()) ? row.cells[c].text : none;
        });
    }
    return out;
}

std::string tableCsv(const Table& table, const std::vector<int>& rows) {
    std::string out = "\xEF\xBB\xBF";
    const std::size_t columns = table.columns.size();
    for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) out += ',';
        out += csvField({table.columns[c].header, std::nullopt});
    }
    out += "\r\n";
    for (const int r : rows) {
        const TableRow& row = table.rows[r];
        for (std::size_t c = 0; c < columns; ++c) {
            if (c > 0) out += ',';
            if (c < row.cells.size()) out += csvField(row.cells[c]);
        }
        out += "\r\n";
    }
    return out;
}

std::vector<int> tableOrder(const Table& table) {
    std::vector<int> order(table.rows.size());
    std::iota(order.begin(), order.end(), 0);
    return order;
}

}  // namespace trelvan::analysis
