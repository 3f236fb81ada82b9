#pragma once
// The job editor's two tables, the sides and the point names, as models over the
// editor's sheet and views that stay quick with the largest chain (never a widget per
// cell). A model never writes the sheet itself: each edit goes to the editor as a
// SheetEdit, to be made and taken back there.

#include <functional>

#include <QAbstractTableModel>
#include <QPersistentModelIndex>
#include <QTableView>

#include "job/job_sheet.h"
#include "job/sheet_edit.h"
#include "job/sheet_reduction.h"

namespace trelvan {

// One table of the sheet: the sides (length, side of the route, the standard error
// the instrument states for it, how it is given, its measurement and the corrections
// of its reduction) or the point names. A measured side's length is its reduced D4,
// worked out from the sheet as it stands whenever a change may have moved it.
class SheetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Table { Sides, Names };
    // The sides' columns; the names have one.
    enum Column {
        Length = 0, Position = 1, Sigma = 2, Kind = sideKindColumn,
        FirstMeasure = firstMeasureColumn, FirstCorrection = firstCorrectionColumn
    };

    // Takes an edit of a cell; the model shows it once the editor has made it.
    using Commit = std::function<void(SheetEdit edit)>;

    SheetTableModel(const JobSheet& sheet, Table table, Commit commit, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Hands the edit of the cell to the editor; false for a text the cell cannot take
    // (a side of the route that is neither left nor right).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The cell marked as the first fault; an invalid index clears the mark.
    void mark(const QModelIndex& index);
    QModelIndex marked() const;

    // Shows the cells `edit` changed, once the sheet holds them.
    void showEdit(const SheetEdit& edit);
    // Changes the rows of the table (the sheet's triangles) through `change`.
    void changeRows(const std::function<void()>& change);

    // The reduction of the measured sides as the sheet stands.
    const SheetReduction& reduction() const;

private:
    int rows() const;
    QVariant sideData(const QModelIndex& index, int role) const;
    const JobSheet& sheet_;
    Table table_;
    Commit commit_;
    QPersistentModelIndex marked_;
    mutable std::optional<SheetReduction> reduction_;  // made when first asked for
};

// A table that takes a pasted column, clears the selected cells with Delete and
// copies them as tab-separated text.
class SheetView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

signals:
    void pasteRequested(const QModelIndex& at);
    void clearRequested(const QModelIndexList& cells);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The side of the route of an even side, and how a side is given, chosen from lists in
// the sides' table.
void choosePositionFromList(SheetView& view);

}  // namespace trelvan
