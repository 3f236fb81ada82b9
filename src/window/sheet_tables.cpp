#include "window/sheet_tables.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QComboBox>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include "job/sheet_wording.h"
#include "state/chain_state.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// The first fault; a text that is not a number; a side right of the route; the route.
const QColor markedColour(255, 150, 150);
const QColor unreadColour(255, 222, 222);
const QColor rightColour(0, 0, 170);
const QColor routeColour(128, 128, 128);
// A length worked out from a measurement; a side whose reduction is warned of.
const QColor reducedColour(0, 96, 96);
const QColor warnedColour(255, 214, 150);

QString q(const std::string& text) { return QString::fromStdString(text); }

// A cell chosen from a list: the side of the route, or how a side is given.
class PositionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* box = new QComboBox(parent);
        if (index.column() == SheetTableModel::Kind) {
            for (SideKind kind : {SideKind::Plane, SideKind::Slope, SideKind::Horizontal})
                box->addItem(q(sideKindText(kind)));
        } else if (index.row() % 2 == 0) {
            box->addItems({QStringLiteral("路线边"), QStringLiteral("右")});  // a route side put back
        } else {
            box->addItems({QStringLiteral("左"), QStringLiteral("右")});
        }
        // A choice is taken as it is made.
        connect(box, &QComboBox::activated, this, &PositionDelegate::commitAndClose);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }

private:
    void commitAndClose() {
        auto* box = qobject_cast<QWidget*>(sender());
        emit commitData(box);
        emit closeEditor(box);
    }
};

}  // namespace

SheetTableModel::SheetTableModel(const JobSheet& sheet, Table table, Commit commit, QObject* parent)
    : QAbstractTableModel(parent), sheet_(sheet), table_(table), commit_(std::move(commit)) {}

int SheetTableModel::rows() const { return table_ == Table::Sides ? sheet_.sides() : sheet_.triangles(); }

int SheetTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows(); }

int SheetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_ == Table::Sides ? sideColumnCount : 1;
}

const SheetReduction& SheetTableModel::reduction() const {
    if (!reduction_) reduction_ = reduceSheet(sheet_);
    return *reduction_;
}

QVariant SheetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const bool isMarked = marked_.isValid() && marked_ == index;

    if (table_ == Table::Names) {
        if (role == Qt::DisplayRole || role == Qt::EditRole) return q(sheet_.name[row]);
        if (role == Qt::BackgroundRole && isMarked) return markedColour;
        return {};
    }
    return sideData(index, role);
}

QVariant SheetTableModel::sideData(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    const int k = index.row() + 1;
    const bool isMarked = marked_.isValid() && marked_ == index;
    const bool measured = sideKind(sheet_, k) != SideKind::Plane;
    const int column = index.column();
    if (role == Qt::TextAlignmentRole && column != Position && column != Kind)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);

    if (column == Kind) {
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole: return q(sideKindText(sideKind(sheet_, k)));
            case Qt::TextAlignmentRole: return QVariant(Qt::AlignCenter);
            case Qt::ForegroundRole: return measured ? QVariant() : QVariant(routeColour);
            case Qt::BackgroundRole: return isMarked ? QVariant(markedColour) : QVariant();
            case Qt::ToolTipRole: return q(sideKindTip(sheet_, k));
            default: return {};
        }
    }
    if (column >= FirstMeasure && column < FirstCorrection) {
        const auto part = static_cast<MeasurePart>(column - FirstMeasure);
        const std::string& text = measurementOf(sheet_, k)[part];
        const bool open = measured && partInJob(sheet_, k, part);
        const bool unread = open && !text.empty() && !parseNumber(text);
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole: return q(text);
            // A value kept but no part of the job (a plane side's, a horizontal one's dh).
            case Qt::ForegroundRole: return open ? QVariant() : QVariant(routeColour);
            case Qt::BackgroundRole:
                if (isMarked) return markedColour;
                if (unread) return unreadColour;
                return {};
            case Qt::ToolTipRole:
                if (unread) return q(notANumberReason(text));
                return {};
            default: return {};
        }
    }
    if (column >= FirstCorrection) {
        if (!measured || (role != Qt::DisplayRole && role != Qt::ForegroundRole)) return {};
        if (role == Qt::ForegroundRole) return routeColour;
        return q(measuredRow(sheet_, reduction(), k).correction[static_cast<std::size_t>(column - FirstCorrection)]);
    }
    if (column == Length && measured) {
        // The reduced length, worked out; typed over, the side becomes a plane length.
        const MeasuredRow reducedRow = measuredRow(sheet_, reduction(), k);
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole: return q(reducedRow.length);
            case Qt::ForegroundRole: return reducedColour;
            case Qt::BackgroundRole:
                if (isMarked) return markedColour;
                if (reducedRow.refused) return unreadColour;
                if (reducedRow.warned) return warnedColour;
                return {};
            case Qt::ToolTipRole: return q(reducedRow.lengthTip);
            default: return {};
        }
    }
    if (column == Length) {
        const bool unread = !sheet_.side[row].empty() && !parseNumber(sheet_.side[row]);
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole: return q(sheet_.side[row]);
            case Qt::TextAlignmentRole: return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            case Qt::BackgroundRole:
                if (isMarked) return markedColour;
                if (unread) return unreadColour;
                return {};
            case Qt::ToolTipRole:
                if (unread) return q(sideRow(sheet_, k).lengthTip);
                return {};
            default: return {};
        }
    }
    if (index.column() == Sigma) {
        const auto reduced = [&] { return measured ? measuredRow(sheet_, reduction(), k).reduced : std::nullopt; };
        switch (role) {
            case Qt::DisplayRole: return q(sideRow(sheet_, k, reduced()).sigma);
            case Qt::TextAlignmentRole: return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            case Qt::ForegroundRole: return routeColour;
            case Qt::ToolTipRole: return q(sideRow(sheet_, k).sigmaTip);
            default: return {};
        }
    }
    // Where the side lies: the odd sides are the route itself.
    const bool even = k % 2 == 0;
    switch (role) {
        case Qt::DisplayRole: return q(sideRow(sheet_, k).position);
        case Qt::EditRole: return even || sheet_.right[row] ? q(sideRow(sheet_, k).position) : QString();
        case Qt::TextAlignmentRole: return QVariant(Qt::AlignCenter);
        case Qt::ForegroundRole:
            if (!even && sheet_.right[row]) return markedColour.darker(200);  // a route side put right
            if (!even) return routeColour;
            if (sheet_.right[row]) return rightColour;
            return {};
        case Qt::BackgroundRole:
            if (isMarked) return markedColour;
            return {};
        case Qt::ToolTipRole: return q(sideRow(sheet_, k).positionTip);
        default: return {};
    }
}

QVariant SheetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && table_ == Table::Sides && section >= Kind)
        return q(sideColumnTip(section));
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return table_ == Table::Sides ? q(sideName(section + 1)) : q(digits(section + 1));
    if (table_ == Table::Names) return QStringLiteral("点名");
    if (section == Sigma) return QStringLiteral("σ（毫米）");
    if (section >= Kind) return q(sideColumnHeader(section));
    return section == Length ? QStringLiteral("边长（米）") : QStringLiteral("位于路线");
}

Qt::ItemFlags SheetTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (table_ == Table::Names) return flags | Qt::ItemIsEditable;
    // A route side lies on the route (unless a file put it right of it); a standard
    // error and the corrections are worked out, not typed; the parts of a
    // measurement not in the job are closed.
    const int k = index.row() + 1;
    const int column = index.column();
    const bool routeSide = column == Position && k % 2 == 1 && !sheet_.right[static_cast<std::size_t>(k - 1)];
    const bool worked = column == Sigma || column >= FirstCorrection;
    const bool closed = column >= FirstMeasure && column < FirstCorrection &&
                        !partInJob(sheet_, k, static_cast<MeasurePart>(column - FirstMeasure));
    if (!routeSide && !worked && !closed) flags |= Qt::ItemIsEditable;
    return flags;
}

bool SheetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rows()) return false;
    if (!(flags(index) & Qt::ItemIsEditable)) return false;
    const std::string text = value.toString().toStdString();
    const int k = index.row() + 1;
    // A measured side's reduced length given back as it is shown changes nothing.
    if (table_ == Table::Sides && index.column() == Length && sideKind(sheet_, k) != SideKind::Plane &&
        value.toString() == data(index, Qt::EditRole).toString())
        return true;
    bool taken = true;
    SheetEdit edit = editOf(sheet_, [&](JobSheet& sheet) {
        if (table_ == Table::Names) sheet.name[static_cast<std::size_t>(index.row())] = text;
        else if (index.column() == Length) typeSide(sheet, k, text);
        else if (index.column() == Position) taken = typeSidePosition(sheet, k, text);
        else if (index.column() == Kind) taken = typeSideKind(sheet, k, text);
        else typeMeasurement(sheet, k, static_cast<MeasurePart>(index.column() - FirstMeasure), text);
    });
    if (!taken) return false;
    if (!edit.empty() && commit_) commit_(std::move(edit));
    return true;
}

void SheetTableModel::mark(const QModelIndex& index) {
    const QModelIndex old = marked_;
    marked_ = index;
    if (old.isValid()) emit dataChanged(old, old);
    if (index.isValid()) emit dataChanged(index, index);
}

QModelIndex SheetTableModel::marked() const { return marked_; }

void SheetTableModel::showEdit(const SheetEdit& edit) {
    int first = rows(), last = -1;
    const auto touch = [&](int row) {
        first = std::min(first, row);
        last = std::max(last, row);
    };
    if (table_ == Table::Sides) {
        for (const SheetEdit::Side& s : edit.sides) touch(s.k - 1);
    } else {
        for (const SheetEdit::Name& n : edit.names) touch(n.i - 1);
    }
    last = std::min(last, rows() - 1);
    if (table_ == Table::Sides) {
        for (const SheetEdit::Measure& m : edit.measures) touch(m.k - 1);
        last = std::min(last, rows() - 1);
    }
    if (first <= last) emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    if (table_ == Table::Sides && rows() > 0 && editReachesSideErrors(edit))
        emit dataChanged(index(0, Sigma), index(rows() - 1, Sigma));
    // The reduced lengths move with the whole chain's geometry and settings.
    if (table_ == Table::Sides && editReachesReduction(edit)) {
        reduction_.reset();
        if (rows() > 0 && hasMeasuredSide(sheet_)) emit dataChanged(index(0, 0), index(rows() - 1, columnCount() - 1));
    }
}

void SheetTableModel::changeRows(const std::function<void()>& change) {
    beginResetModel();
    marked_ = QPersistentModelIndex();
    change();
    reduction_.reset();
    endResetModel();
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Paste)) {
            emit pasteRequested(currentIndex());
            return;
        }
        if (event->matches(QKeySequence::Copy)) {
            QModelIndexList cells = selectionModel()->selectedIndexes();
            if (cells.isEmpty()) return;
            std::sort(cells.begin(), cells.end());
            QString text;
            int row = cells.front().row();
            QString line;
            for (const QModelIndex& cell : cells) {
                if (cell.row() != row) {
                    text += line + QLatin1Char('\n');
                    line.clear();
                    row = cell.row();
                } else if (!line.isEmpty() || cell != cells.front()) {
                    line += QLatin1Char('\t');
                }
                line += cell.data(Qt::EditRole).toString();
            }
            QApplication::clipboard()->setText(text + line + QLatin1Char('\n'));
            return;
        }
        if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            emit clearRequested(selectionModel()->selectedIndexes());
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void choosePositionFromList(SheetView& view) {
    view.setItemDelegateForColumn(SheetTableModel::Position, new PositionDelegate(&view));
    view.setItemDelegateForColumn(SheetTableModel::Kind, new PositionDelegate(&view));
}

}  // namespace trelvan
