#include "window/job_editor.h"

#include <algorithm>

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "entry/value_checks.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

// The first fault; a text that is not a number; a side right of the route; the route.
const QColor markedColour(255, 150, 150);
const QColor unreadColour(255, 222, 222);
const QColor rightColour(0, 0, 170);
const QColor routeColour(128, 128, 128);
const QString markedField = QStringLiteral("QLineEdit { background-color: #ff9696; }");

QString q(const std::string& text) { return QString::fromStdString(text); }
std::string s(const QString& text) { return text.toStdString(); }

bool isNumberField(SheetField f) { return f != SheetField::NameA && f != SheetField::NameB; }

// The side of the route of an even side, chosen from a list.
class PositionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->addItems({QStringLiteral("左"), QStringLiteral("右")});
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

// ---------------------------------------------------------------- the tables

SheetTableModel::SheetTableModel(JobSheet& sheet, Table table, QObject* parent)
    : QAbstractTableModel(parent), sheet_(sheet), table_(table) {}

int SheetTableModel::rows() const { return table_ == Table::Sides ? sheet_.sides() : sheet_.triangles(); }

int SheetTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows(); }

int SheetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_ == Table::Sides ? 2 : 1;
}

QVariant SheetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const int k = index.row() + 1;
    const bool isMarked = marked_.isValid() && marked_ == index;

    if (table_ == Table::Names) {
        if (role == Qt::DisplayRole || role == Qt::EditRole) return q(sheet_.name[row]);
        if (role == Qt::BackgroundRole && isMarked) return markedColour;
        return {};
    }
    if (index.column() == Length) {
        const std::string& text = sheet_.side[row];
        const bool unread = !text.empty() && !parseNumber(text);
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole: return q(text);
            case Qt::TextAlignmentRole: return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            case Qt::BackgroundRole:
                if (isMarked) return markedColour;
                if (unread) return unreadColour;
                return {};
            case Qt::ToolTipRole:
                if (unread) return QStringLiteral("不是一个数");
                return {};
            default: return {};
        }
    }
    // Where the side lies: the odd sides are the route itself.
    const bool even = k % 2 == 0;
    const bool right = even && sheet_.right[row];
    switch (role) {
        case Qt::DisplayRole: return even ? (right ? QStringLiteral("右") : QStringLiteral("左")) : QStringLiteral("路线边");
        case Qt::EditRole: return even ? (right ? QStringLiteral("右") : QStringLiteral("左")) : QString();
        case Qt::TextAlignmentRole: return QVariant(Qt::AlignCenter);
        case Qt::ForegroundRole:
            if (!even) return routeColour;
            if (right) return rightColour;
            return {};
        case Qt::BackgroundRole:
            if (isMarked) return markedColour;
            return {};
        case Qt::ToolTipRole:
            if (!even) return q(sideName(k)) + QStringLiteral(" 是方位角推算路线上的边");
            return q(sideName(k)) + (right ? QStringLiteral(" 位于方位角推算路线的右侧") : QStringLiteral(" 位于方位角推算路线的左侧"));
        default: return {};
    }
}

QVariant SheetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return table_ == Table::Sides ? q(sideName(section + 1)) : q(digits(section + 1));
    if (table_ == Table::Names) return QStringLiteral("点名");
    return section == Length ? QStringLiteral("边长（米）") : QStringLiteral("位于路线");
}

Qt::ItemFlags SheetTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const bool routeSide = table_ == Table::Sides && index.column() == Position && index.row() % 2 == 0;
    if (!routeSide) flags |= Qt::ItemIsEditable;
    return flags;
}

bool SheetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rows()) return false;
    const std::string text = s(value.toString());
    const int k = index.row() + 1;
    if (table_ == Table::Names) {
        sheet_.name[static_cast<std::size_t>(index.row())] = text;
    } else if (index.column() == Length) {
        typeSide(sheet_, k, text);
    } else if (!typeSidePosition(sheet_, k, text)) {
        return false;
    }
    if (marked_.isValid() && marked_.row() == index.row()) marked_ = QPersistentModelIndex();
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    emit edited();
    return true;
}

void SheetTableModel::mark(const QModelIndex& index) {
    const QModelIndex old = marked_;
    marked_ = index;
    if (old.isValid()) emit dataChanged(old, old);
    if (index.isValid()) emit dataChanged(index, index);
}

QModelIndex SheetTableModel::marked() const { return marked_; }

void SheetTableModel::changeRows(const std::function<void()>& change) {
    beginResetModel();
    marked_ = QPersistentModelIndex();
    change();
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
            for (const QModelIndex& cell : selectionModel()->selectedIndexes())
                if (cell.flags() & Qt::ItemIsEditable) model()->setData(cell, QString());
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

// ---------------------------------------------------------------- the editor

JobEditor::JobEditor(QWidget* parent, JobSheet sheet, const QString& fileName, const std::string& savedText,
                     Hooks hooks)
    : QDialog(parent), sheet_(std::move(sheet)), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("JobEditor"));
    setSaved(fileName, savedText);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(buildKnownData());
    top->addWidget(buildOrientation(), 1);
    layout->addLayout(top);

    layout->addWidget(buildTables(), 1);

    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setTextFormat(Qt::PlainText);
    layout->addWidget(message_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto button = [&](const char* name, const char* text, void (JobEditor::*slot)()) {
        auto* b = new QPushButton(QString::fromUtf8(text));
        b->setObjectName(QString::fromUtf8(name));
        // Enter in a field finishes the field; it does not start a computation.
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("computeButton", "计算", &JobEditor::compute);
    button("saveButton", "保存…", &JobEditor::save);
    button("closeButton", "关闭", &JobEditor::reject);
    layout->addLayout(buttons);

    showCount();
    // Room for a chain's first sides at a glance, within the screen at any scaling.
    QSize size(980, 700);
    if (const QScreen* screen = parent != nullptr ? parent->screen() : nullptr)
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

QWidget* JobEditor::buildKnownData() {
    auto* box = new QGroupBox(QStringLiteral("已知点"));
    auto* grid = new QGridLayout(box);
    const char* heads[] = {"点名", "X 纵座标（米）", "Y 横座标（米）"};
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(QString::fromUtf8(heads[c])), 0, c + 1);
    const SheetField rows[2][3] = {{SheetField::NameA, SheetField::Xa, SheetField::Ya},
                                   {SheetField::NameB, SheetField::Xb, SheetField::Yb}};
    const char* names[] = {"起始点 A", "闭合点 B"};
    for (int r = 0; r < 2; ++r) {
        grid->addWidget(new QLabel(QString::fromUtf8(names[r])), r + 1, 0);
        for (int c = 0; c < 3; ++c) grid->addWidget(newField(rows[r][c], c == 0 ? 80 : 120), r + 1, c + 1);
    }
    grid->addWidget(new QLabel(QStringLiteral("测角限差（秒）")), 3, 0, 1, 2);
    grid->addWidget(newField(SheetField::Tolerance, 120), 3, 2);
    grid->setRowStretch(4, 1);
    return box;
}

// One end's orientation: the way it is oriented, and the fields of each way.
//
//   A 端  (•) 外方位角 Ta  [    ]   ( ) 外方向点 Pta  X [    ]
//         ( ) 无定向                                  Y [    ]
//         定向角 Qa      [    ]
QWidget* JobEditor::buildOrientation() {
    auto* box = new QGroupBox(QStringLiteral("定向（角度按 度.分秒）"));
    auto* grid = new QGridLayout(box);
    struct End {
        const char* label;
        SheetField t, xp, yp, q;
        const char* azimuth;
        const char* point;
        const char* angle;
    } ends[] = {{"A 端", SheetField::Ta, SheetField::Xpa, SheetField::Ypa, SheetField::Qa, "外方位角 Ta",
                 "外方向点 Pta", "定向角 Qa"},
                {"B 端", SheetField::Tb, SheetField::Xpb, SheetField::Ypb, SheetField::Qb, "外方位角 Tb",
                 "外方向点 Ptb", "定向角 Qb"}};
    const EndOrientation ways[] = {EndOrientation::Azimuth, EndOrientation::DirectionPoint, EndOrientation::None};
    for (int e = 0; e < 2; ++e) {
        const End& end = ends[e];
        const int row = 3 * e;
        auto* group = new QButtonGroup(box);
        const char* texts[] = {end.azimuth, end.point, "无定向"};
        const QPoint cells[] = {{1, row}, {3, row}, {1, row + 1}};
        const EndOrientation current = e == 0 ? sheet_.orientationA : sheet_.orientationB;
        for (int w = 0; w < 3; ++w) {
            auto* r = new QRadioButton(QString::fromUtf8(texts[w]));
            group->addButton(r);
            r->setChecked(ways[w] == current);
            orientationButtons_[static_cast<std::size_t>(3 * e + w)] = r;
            grid->addWidget(r, cells[w].y(), cells[w].x());
            connect(r, &QRadioButton::toggled, this, [this, e, way = ways[w]](bool on) {
                if (!on) return;
                setOrientation(e == 0, way);
                edited();
            });
        }
        auto* label = new QLabel(QString::fromUtf8(end.label));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        grid->addWidget(label, row, 0);
        grid->addWidget(newField(end.t, 110), row, 2);
        grid->addWidget(new QLabel(QStringLiteral("X")), row, 4, Qt::AlignRight);
        grid->addWidget(newField(end.xp, 120), row, 5);
        grid->addWidget(new QLabel(QStringLiteral("Y")), row + 1, 4, Qt::AlignRight);
        grid->addWidget(newField(end.yp, 120), row + 1, 5);
        grid->addWidget(new QLabel(QString::fromUtf8(end.angle)), row + 2, 1);
        grid->addWidget(newField(end.q, 110), row + 2, 2);
        setOrientation(e == 0, current);
    }
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);
    return box;
}

QLineEdit* JobEditor::newField(SheetField field, int width) {
    auto* e = new QLineEdit;
    e->setMinimumWidth(width);
    edits_[static_cast<std::size_t>(field)] = e;
    e->setObjectName(QString::fromUtf8(fieldPath(field)));
    // Long enough that an over-long value reaches the check instead of being cut short.
    e->setMaxLength(static_cast<int>(maxReplyBytes) + 1);
    e->setText(q(sheet_[field]));
    e->setCursorPosition(0);
    // What is typed is kept as typed; a number is shown in the general number form
    // once the field is left.
    connect(e, &QLineEdit::textEdited, this, [this, field, e](const QString& text) {
        sheet_[field] = s(text);
        e->setStyleSheet(QString());
        edited();
    });
    if (isNumberField(field)) {
        connect(e, &QLineEdit::editingFinished, this, [this, field, e] {
            const QString shown = q(shownNumber(sheet_[field]));
            if (shown != e->text()) e->setText(shown);
            sheet_[field] = s(shown);
        });
    }
    return e;
}

QWidget* JobEditor::buildTables() {
    auto* area = new QWidget;
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);

    sides_ = new SheetTableModel(sheet_, SheetTableModel::Table::Sides, this);
    names_ = new SheetTableModel(sheet_, SheetTableModel::Table::Names, this);
    const auto view = [&](SheetTableModel* model, const char* name, const char* title, int stretch) {
        auto* column = new QVBoxLayout;
        auto* label = new QLabel(QString::fromUtf8(title));
        column->addWidget(label);
        auto* v = new SheetView;
        v->setObjectName(QString::fromUtf8(name));
        v->setModel(model);
        // Every row as high as the next, so that the largest chain scrolls at once.
        v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 8);
        v->verticalHeader()->setMinimumWidth(v->fontMetrics().horizontalAdvance(QStringLiteral("S32765")) + 16);
        v->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
        v->horizontalHeader()->setStretchLastSection(model == names_);
        v->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
        v->setAlternatingRowColors(false);
        column->addWidget(v, 1);
        row->addLayout(column, stretch);
        connect(model, &SheetTableModel::edited, this, [this] { edited(); });
        connect(v, &SheetView::pasteRequested, this,
                [this, model, v](const QModelIndex& at) { pasteInto(model, v, at); });
        return v;
    };
    sideView_ = view(sides_, "sideTable", "观测边长 S1 … S(2N+1)", 0);
    sideView_->setItemDelegateForColumn(SheetTableModel::Position, new PositionDelegate(sideView_));
    // As wide as its columns: a length of a national-grid chain to the tenth of a
    // millimetre, and the side of the route.
    const QFontMetrics metrics = sideView_->fontMetrics();
    sideView_->setColumnWidth(SheetTableModel::Length, metrics.horizontalAdvance(QStringLiteral("00000000.0000")) + 24);
    sideView_->setColumnWidth(SheetTableModel::Position, metrics.horizontalAdvance(QStringLiteral("位于路线")) + 24);
    sideView_->setFixedWidth(sideView_->verticalHeader()->minimumWidth() + sideView_->columnWidth(0) +
                             sideView_->columnWidth(1) + sideView_->verticalScrollBar()->sizeHint().width() +
                             2 * sideView_->frameWidth() + 4);
    nameView_ = view(names_, "nameTable", "点名（点 1 … N）", 1);

    auto* controls = new QVBoxLayout;
    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("triangleCount"));
    controls->addWidget(count_);
    auto* add = new QPushButton(QStringLiteral("添加三角形"));
    add->setObjectName(QStringLiteral("addTriangle"));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &JobEditor::addTriangle);
    remove_ = new QPushButton(QStringLiteral("删除最后的三角形"));
    remove_->setObjectName(QStringLiteral("removeTriangle"));
    remove_->setAutoDefault(false);
    connect(remove_, &QPushButton::clicked, this, &JobEditor::removeTriangle);
    controls->addWidget(add);
    controls->addWidget(remove_);
    controls->addSpacing(12);
    auto* hint = new QLabel(QStringLiteral(
        "角度按“度.分秒”输入：312.2415 即 312°24′15″。\n\n"
        "偶数边位于方位角推算路线的右侧时，可输入负的边长，或在“位于路线”一栏选“右”。\n\n"
        "在表格中按 Ctrl+V，可从当前格起向下粘贴电子表格中的一列数值；锁不够长时按三角形加长。"
        "Delete 清除所选的格。"));
    hint->setWordWrap(true);
    hint->setMinimumWidth(180);
    controls->addWidget(hint);
    controls->addStretch(1);
    row->addLayout(controls, 1);
    return area;
}

QRadioButton* JobEditor::orientationButton(bool endA, EndOrientation orientation) const {
    const int way = orientation == EndOrientation::Azimuth ? 0 : orientation == EndOrientation::DirectionPoint ? 1 : 2;
    return orientationButtons_[static_cast<std::size_t>((endA ? 0 : 3) + way)];
}

void JobEditor::setOrientation(bool endA, EndOrientation orientation) {
    (endA ? sheet_.orientationA : sheet_.orientationB) = orientation;
    edit(endA ? SheetField::Ta : SheetField::Tb)->setEnabled(orientation == EndOrientation::Azimuth);
    for (SheetField f : endA ? std::array{SheetField::Xpa, SheetField::Ypa} : std::array{SheetField::Xpb, SheetField::Ypb})
        edit(f)->setEnabled(orientation == EndOrientation::DirectionPoint);
}

QString JobEditor::message() const { return message_->text(); }

void JobEditor::setSaved(const QString& fileName, const std::string& savedText) {
    fileName_ = fileName;
    savedText_ = savedText;
    const QString shown = fileName.isEmpty() ? QString() : QStringLiteral(" - ") + QFileInfo(fileName).fileName();
    setWindowTitle(QStringLiteral("作业数据") + shown);
}

void JobEditor::showMessage(const QString& message, bool fault) {
    message_->setStyleSheet(fault ? QStringLiteral("color: #b00000;") : QStringLiteral("color: #006000;"));
    message_->setText(message);
}

void JobEditor::clearMarks() {
    for (QLineEdit* e : edits_) e->setStyleSheet(QString());
    sides_->mark({});
    names_->mark({});
    sideView_->setStyleSheet(QString());
    nameView_->setStyleSheet(QString());
    count_->setStyleSheet(QString());
}

void JobEditor::showProblem(const JobProblem& problem, const QString& message) {
    clearMarks();
    showMessage(message, true);
    const SheetPlace place = sheetPlaceOf(problem);
    const auto markCell = [](SheetTableModel* model, SheetView* view, int row, int column) {
        if (row < 0 || row >= model->rowCount()) return;
        const QModelIndex cell = model->index(row, column);
        model->mark(cell);
        // The current cell, not a selected one, so that its colour shows.
        view->selectionModel()->clearSelection();
        view->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
        view->scrollTo(cell, QAbstractItemView::PositionAtCenter);
        view->setFocus();
    };
    const QString markedTable = QStringLiteral("QTableView { border: 2px solid #d00000; }");
    switch (place.kind) {
        case SheetPlace::Kind::Field: {
            QLineEdit* e = edit(place.field);
            e->setStyleSheet(markedField);
            e->setFocus();
            e->selectAll();
            break;
        }
        case SheetPlace::Kind::Name: markCell(names_, nameView_, place.index - 1, 0); break;
        case SheetPlace::Kind::Side: markCell(sides_, sideView_, place.index - 1, SheetTableModel::Length); break;
        case SheetPlace::Kind::Names:
            nameView_->setStyleSheet(markedTable);
            nameView_->setFocus();
            break;
        case SheetPlace::Kind::Sides:
            sideView_->setStyleSheet(markedTable);
            sideView_->setFocus();
            break;
        case SheetPlace::Kind::Count: count_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;")); break;
        case SheetPlace::Kind::None: break;
    }
}

std::optional<Job> JobEditor::checked() {
    clearMarks();
    SheetCheck check = checkSheet(sheet_);
    if (check.problem) {
        showProblem(*check.problem, q(sheetMessage(*check.problem)));
        return std::nullopt;
    }
    showMessage(QString(), false);
    return std::move(check.job);
}

void JobEditor::compute() {
    const std::optional<Job> job = checked();
    if (!job || !hooks_.compute) return;
    const std::optional<std::string> failure = hooks_.compute(*job, fileName_, savedText_);
    if (failure) {
        showMessage(q(*failure), true);
        return;
    }
    modified_ = false;
    accept();
}

void JobEditor::save() {
    const std::optional<Job> job = checked();
    if (!job || !hooks_.save) return;
    if (!hooks_.save(*this, *job)) return;
    modified_ = false;
    showMessage(QStringLiteral("作业已保存：%1").arg(fileName_), false);
}

void JobEditor::addTriangle() {
    if (sheet_.triangles() >= maxTriangles) {
        showMessage(q(triangleCountRangeReason()) + QStringLiteral("。"), true);
        return;
    }
    sides_->changeRows([&] { names_->changeRows([&] { addTriangles(sheet_, 1); }); });
    edited();
    showCount();
    const QModelIndex first = sides_->index(sheet_.sides() - 2, SheetTableModel::Length);
    sideView_->setCurrentIndex(first);
    sideView_->scrollTo(first);
    nameView_->scrollToBottom();
}

void JobEditor::removeTriangle() {
    const int n = sheet_.triangles();
    if (n <= 1) return;
    if (!lastTriangleIsEmpty(sheet_) && hooks_.confirm &&
        !hooks_.confirm(this, QStringLiteral("删除第 %1 个三角形，连同点 %1 的点名和边长 S%2、S%3 吗？")
                                  .arg(q(digits(n)), q(digits(2 * n)), q(digits(2 * n + 1)))))
        return;
    sides_->changeRows([&] { names_->changeRows([&] { removeLastTriangle(sheet_); }); });
    edited();
    showCount();
    sideView_->scrollToBottom();
    nameView_->scrollToBottom();
}

void JobEditor::pasteInto(SheetTableModel* model, SheetView* view, const QModelIndex& at) {
    const std::string text = s(QApplication::clipboard()->text());
    if (text.empty()) return;
    const int first = at.isValid() ? at.row() + 1 : 1;
    const int column = at.isValid() ? at.column() : 0;
    const int before = sheet_.triangles();
    Pasted pasted;
    sides_->changeRows([&] {
        names_->changeRows([&] {
            pasted = model == sides_ ? pasteSides(sheet_, first, column, text) : pasteNames(sheet_, first, text);
        });
    });
    if (pasted.refusal) {
        showMessage(q(*pasted.refusal) + QStringLiteral("，没有粘贴。"), true);
        return;
    }
    if (pasted.count == 0) return;
    edited();
    showCount();
    const QModelIndex from = model->index(first - 1, column);
    const QModelIndex to = model->index(first - 2 + pasted.count, column);
    view->setCurrentIndex(from);
    view->selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
    view->scrollTo(from);
    showMessage(sheet_.triangles() > before
                    ? QStringLiteral("粘贴了 %1 行；锁加长到 %2 个三角形。").arg(q(digits(pasted.count)), q(digits(sheet_.triangles())))
                    : QStringLiteral("粘贴了 %1 行。").arg(q(digits(pasted.count))),
                false);
}

void JobEditor::edited() { modified_ = true; }

void JobEditor::showCount() {
    count_->setText(QStringLiteral("三角形个数 N = %1").arg(q(digits(sheet_.triangles()))));
    remove_->setEnabled(sheet_.triangles() > 1);
}

void JobEditor::reject() {
    if (modified_ && hooks_.confirm &&
        !hooks_.confirm(this, QStringLiteral("作业数据已修改，还没有计算或保存。关闭编辑器并放弃这些修改吗？")))
        return;
    QDialog::reject();
}

}  // namespace trelvan
