#include "window/analysis_window.h"

#include <algorithm>
#include <exception>
#include <set>
#include <utility>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIODevice>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyleOptionHeader>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "analysis/chain_precision.h"
#include "analysis/table_export.h"
#include "job/proposed_name.h"
#include "report/painter/report_painter.h"
#include "report/report.h"
#include "state/constants.h"
#include "window/job_actions.h"
#include "window/kept_window.h"
#include "window/main_form.h"

namespace trelvan {

namespace {

constexpr int tableCount = 5;

// A header whose sort arrow points the way a table is read: up (▲) for ascending,
// the smallest first, down (▼) for descending. The style draws the header's SortDown
// as an arrow pointing down, and the header asks for SortDown when it sorts ascending.
class SortHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (option->sortIndicator == QStyleOptionHeader::SortDown) option->sortIndicator = QStyleOptionHeader::SortUp;
        else if (option->sortIndicator == QStyleOptionHeader::SortUp) option->sortIndicator = QStyleOptionHeader::SortDown;
    }
};

QString chooseCsvFile(QWidget* parent, const QString& suggested) {
    return chooseSaveFile(parent, QStringLiteral("导出精度分析表为 CSV 文件"), {QStringLiteral("CSV 文件 (*.csv)")},
                          suggested);
}

}  // namespace

// --- the model ---------------------------------------------------------------------

void AnalysisTableModel::setTable(analysis::Table table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

const analysis::TableCell* AnalysisTableModel::cell(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(table_.rows.size())) return nullptr;
    const auto& cells = table_.rows[static_cast<std::size_t>(row)].cells;
    return column >= 0 && column < static_cast<int>(cells.size()) ? &cells[static_cast<std::size_t>(column)]
                                                                 : nullptr;
}

int AnalysisTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int AnalysisTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.columns.size());
}

QColor AnalysisTableModel::markedBackground() { return QColor(255, 214, 204); }

QVariant AnalysisTableModel::data(const QModelIndex& index, int role) const {
    const analysis::TableCell* c = cell(index.row(), index.column());
    if (c == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(c->text);
        case Qt::TextAlignmentRole: {
            const bool numeric = table_.columns[static_cast<std::size_t>(index.column())].numeric;
            return QVariant::fromValue(Qt::Alignment((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
        }
        case Qt::BackgroundRole:
            if (table_.rows[static_cast<std::size_t>(index.row())].marked) return markedBackground();
            return {};
        case Qt::ForegroundRole:
            // Dark text on the light marking, whatever the desktop's colours.
            if (table_.rows[static_cast<std::size_t>(index.row())].marked) return QColor(Qt::black);
            return {};
        default: return {};
    }
}

QVariant AnalysisTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(table_.columns.size()))
        return {};
    const analysis::TableColumn& column = table_.columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return QString::fromStdString(column.header);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment((column.numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

bool AnalysisSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto* model = static_cast<const AnalysisTableModel*>(sourceModel());
    const analysis::TableCell* a = model->cell(left.row(), left.column());
    const analysis::TableCell* b = model->cell(right.row(), right.column());
    if (a == nullptr || b == nullptr) return a != nullptr;
    // Sorting descending, the proxy asks whether right < left and puts left first
    // when it is; the cells' own rule says directly which stands first.
    if (sortOrder() == Qt::DescendingOrder) return analysis::cellBefore(*b, *a, true);
    return analysis::cellBefore(*a, *b, false);
}

// --- the window --------------------------------------------------------------------

AnalysisWindow::AnalysisWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("AnalysisWindow"));
    setWindowTitle(QString::fromUtf8(programTitle) + QStringLiteral(" 精度分析"));

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("AnalysisTabs"));
    tabs_->setDocumentMode(true);
    failure_ = new QLabel;
    failure_->setObjectName(QStringLiteral("AnalysisFailure"));
    failure_->setTextFormat(Qt::PlainText);
    failure_->setWordWrap(true);
    failure_->setAlignment(Qt::AlignCenter);
    failure_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pages_ = new QStackedWidget;
    pages_->addWidget(tabs_);
    pages_->addWidget(failure_);

    auto* copyAction = new QAction(QStringLiteral("复制"), this);
    copyAction->setObjectName(QStringLiteral("actionCopy"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copyAction, &QAction::triggered, this, &AnalysisWindow::copy);
    addAction(copyAction);
    auto* copyAll = new QAction(QStringLiteral("复制整个表格"), this);
    copyAll->setObjectName(QStringLiteral("actionCopyTable"));
    connect(copyAll, &QAction::triggered, this, &AnalysisWindow::copyWholeTable);
    auto* selectAll = new QAction(QStringLiteral("全选"), this);
    selectAll->setShortcut(QKeySequence::SelectAll);
    connect(selectAll, &QAction::triggered, this, [this] {
        if (QTableView* v = view(tabs_->currentIndex())) v->selectAll();
    });

    for (int t = 0; t < tableCount; ++t) {
        auto* model = new AnalysisTableModel(this);
        auto* sorted = new AnalysisSortModel(this);
        sorted->setSourceModel(model);
        auto* view = new QTableView;
        view->setObjectName(QStringLiteral("AnalysisTable%1").arg(t + 1));
        auto* sortHeader = new SortHeader(Qt::Horizontal, view);
        sortHeader->setSectionsClickable(true);
        view->setHorizontalHeader(sortHeader);
        view->setModel(sorted);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectItems);
        view->setAlternatingRowColors(true);
        view->setWordWrap(false);
        view->setTextElideMode(Qt::ElideNone);
        view->verticalHeader()->hide();
        // One height for every row, so that a table of tens of thousands of rows
        // scrolls without measuring any of them.
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
        QHeaderView* header = view->horizontalHeader();
        header->setSectionsMovable(false);
        header->setHighlightSections(false);
        header->setDefaultAlignment(Qt::AlignCenter);
        // A third click on a header restores the table's own order.
        header->setSortIndicatorClearable(true);
        header->setSortIndicator(-1, Qt::AscendingOrder);
        view->setSortingEnabled(true);
        // A table just sorted is read from its top: the smallest or the largest first.
        connect(header, &QHeaderView::sortIndicatorChanged, view, [view] { view->scrollToTop(); });
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
        view->addActions({copyAction, copyAll, selectAll});
        view->installEventFilter(this);
        tabs_->addTab(view, QString());
        models_.push_back(model);
        sorted_.push_back(sorted);
        views_.push_back(view);
    }

    auto* legend = new QLabel(QStringLiteral("底色标出的行：超限、未通过、可疑、最弱点、最弱边、小于 30° 的最小角。"
                                             "单击列标题按该列排序，再单击反向，第三次恢复原顺序。"));
    legend->setObjectName(QStringLiteral("AnalysisLegend"));
    legend->setWordWrap(true);

    auto* copyButton = new QPushButton(QStringLiteral("复制"));
    copyButton->setObjectName(QStringLiteral("CopyButton"));
    copyButton->setToolTip(QStringLiteral("复制选中的单元格（没有选中时复制整个表格），以制表符分隔 (Ctrl+C)"));
    connect(copyButton, &QPushButton::clicked, this, &AnalysisWindow::copy);
    auto* exportButton = new QPushButton(QStringLiteral("导出 CSV…"));
    exportButton->setObjectName(QStringLiteral("ExportButton"));
    exportButton->setToolTip(QStringLiteral("把当前表格保存为 CSV 文件，可用电子表格打开"));
    connect(exportButton, &QPushButton::clicked, this, &AnalysisWindow::exportCsv);
    auto* closeButton = new QPushButton(QStringLiteral("关闭"));
    closeButton->setObjectName(QStringLiteral("CloseButton"));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton);
    buttons->addWidget(exportButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addWidget(legend);
    layout->addLayout(buttons);

    chooseFile_ = chooseCsvFile;
}

AnalysisWindow::~AnalysisWindow() = default;

AnalysisWindow* AnalysisWindow::openFor(MainForm& form) {
    auto* window = static_cast<AnalysisWindow*>(keptWindow(form, QStringLiteral("AnalysisWindowKeeper"), [&form] {
        auto* made = new AnalysisWindow;
        made->setAttribute(Qt::WA_DeleteOnClose);  // a long chain's tables are not kept hidden
        made->setProposer([&form](const QString& title) {
            return form.jobs().proposedPath(Proposed::AnalysisTable, title);
        });
        made->showAnalysisOf(form.record());
        connect(&form, &MainForm::resultCompleted, made, [made, &form] { made->showAnalysisOf(form.record()); });
        placeKept(*made, [&form](const QWidget& w) { return form.childPlace(w); });
        return made;
    }));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void AnalysisWindow::showAnalysisOf(const ChainState& record) {
    // The tables of the longest chain take a moment to form.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    std::vector<analysis::Table> tables;
    QString failed;
    try {
        const std::optional<analysis::ChainPrecision> precision = analysis::analyse(record);
        if (precision) {
            tables = analysis::analysisTables(*precision);
        } else {
            failed = QStringLiteral("还没有完成的平差计算结果。");
        }
    } catch (const std::exception& e) {
        failed = QStringLiteral("无法进行精度分析：") + QString::fromUtf8(e.what());
    }
    tables.resize(tableCount);
    for (int t = 0; t < tableCount; ++t) {
        tabs_->setTabText(t, QString::fromStdString(tables[static_cast<std::size_t>(t)].title));
        models_[static_cast<std::size_t>(t)]->setTable(std::move(tables[static_cast<std::size_t>(t)]));
        fitColumns(t);
        views_[static_cast<std::size_t>(t)]->scrollToTop();
    }
    failure_->setText(failed);
    pages_->setCurrentWidget(failed.isEmpty() ? static_cast<QWidget*>(tabs_) : failure_);
    for (const char* name : {"CopyButton", "ExportButton"})
        findChild<QPushButton*>(QString::fromLatin1(name))->setEnabled(failed.isEmpty());

    if (!sized_ && failed.isEmpty()) {
        // Wide enough for the widest table, high enough for a few dozen rows, and
        // always within the screen.
        sized_ = true;
        int width = 0, rows = 0;
        for (int t = 0; t < tableCount; ++t) {
            const QTableView* v = views_[static_cast<std::size_t>(t)];
            int w = 0;
            for (int c = 0; c < v->model()->columnCount(); ++c) w += v->horizontalHeader()->sectionSize(c);
            width = std::max(width, w);
            rows = std::max(rows, v->model()->rowCount());
        }
        const QTableView* v = views_.front();
        const int scrollBar = v->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int chrome = sizeHint().height() - v->sizeHint().height();
        const QSize wanted(width + scrollBar + 2 * v->frameWidth() + 40,
                           chrome + v->horizontalHeader()->sizeHint().height() +
                               std::min(rows, 30) * v->verticalHeader()->defaultSectionSize() + 2 * v->frameWidth());
        const QRect screen = this->screen() != nullptr ? this->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        const QMargins frame = windowFrame(this);
        resize(std::min(wanted.width(), screen.width() - frame.left() - frame.right()),
               std::min(wanted.height(), screen.height() * 8 / 10));
    }
}

bool AnalysisWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool copyKey = (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
                         static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy);
    if (!copyKey || std::find(views_.begin(), views_.end(), watched) == views_.end())
        return QWidget::eventFilter(watched, event);
    // The table takes the key from every shortcut, then copies on its press.
    event->accept();
    if (event->type() == QEvent::KeyPress) copy();
    return true;
}

QString AnalysisWindow::failure() const { return failure_->text(); }

QTableView* AnalysisWindow::view(int tab) const {
    return tab >= 0 && tab < tableCount ? views_[static_cast<std::size_t>(tab)] : nullptr;
}

void AnalysisWindow::fitColumns(int tab) {
    // Each column as wide as its widest text. The widest is found by counting
    // character cells, which costs nothing even for a long chain; only that text
    // and the header are measured in the view's font.
    QTableView* v = views_[static_cast<std::size_t>(tab)];
    const analysis::Table& table = models_[static_cast<std::size_t>(tab)]->table();
    const QFontMetrics body = v->fontMetrics();
    const QFontMetrics head = v->horizontalHeader()->fontMetrics();
    const int padding = 2 * v->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, v) + 14;
    const int arrow = v->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, v) + 8;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const std::string* widest = nullptr;
        int cells = -1;
        for (const analysis::TableRow& row : table.rows) {
            if (c >= row.cells.size()) continue;
            const int n = displayCells(row.cells[c].text);
            if (n > cells) {
                cells = n;
                widest = &row.cells[c].text;
            }
        }
        int width = head.horizontalAdvance(QString::fromStdString(table.columns[c].header)) + padding + arrow;
        if (widest != nullptr)
            width = std::max(width, body.horizontalAdvance(QString::fromStdString(*widest)) + padding);
        v->horizontalHeader()->resizeSection(static_cast<int>(c), width);
    }
}

std::vector<int> AnalysisWindow::shownRows(int tab) const {
    const AnalysisSortModel* sorted = sorted_[static_cast<std::size_t>(tab)];
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(sorted->rowCount()));
    for (int r = 0; r < sorted->rowCount(); ++r) rows.push_back(sorted->mapToSource(sorted->index(r, 0)).row());
    return rows;
}

QString AnalysisWindow::copyText() const {
    const int tab = tabs_->currentIndex();
    const QItemSelectionModel* selection = views_[static_cast<std::size_t>(tab)]->selectionModel();
    const QModelIndexList picked = selection != nullptr ? selection->selectedIndexes() : QModelIndexList{};
    if (picked.isEmpty()) return wholeTableText();
    // The rows that hold a selected cell, in the order shown, and the columns that
    // do; a cell within them that is not selected stays an empty field.
    std::set<int> shownRowsPicked, columns;
    for (const QModelIndex& index : picked) {
        shownRowsPicked.insert(index.row());
        columns.insert(index.column());
    }
    const AnalysisSortModel* sorted = sorted_[static_cast<std::size_t>(tab)];
    const analysis::Table& whole = models_[static_cast<std::size_t>(tab)]->table();
    analysis::Table table{whole.title, whole.columns, {}};
    for (const int r : shownRowsPicked) {
        analysis::TableRow row = whole.rows[static_cast<std::size_t>(sorted->mapToSource(sorted->index(r, 0)).row())];
        for (const int c : columns)
            if (static_cast<std::size_t>(c) < row.cells.size() && !selection->isSelected(sorted->index(r, c)))
                row.cells[static_cast<std::size_t>(c)].text.clear();
        table.rows.push_back(std::move(row));
    }
    return QString::fromStdString(analysis::tableTsv(table, analysis::tableOrder(table),
                                                     std::vector<int>(columns.begin(), columns.end()), false));
}

QString AnalysisWindow::wholeTableText() const {
    const int tab = tabs_->currentIndex();
    const analysis::Table& table = models_[static_cast<std::size_t>(tab)]->table();
    std::vector<int> columns(table.columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) columns[c] = static_cast<int>(c);
    return QString::fromStdString(analysis::tableTsv(table, shownRows(tab), columns, true));
}

QByteArray AnalysisWindow::csv() const {
    const int tab = tabs_->currentIndex();
    return QByteArray::fromStdString(
        analysis::tableCsv(models_[static_cast<std::size_t>(tab)]->table(), shownRows(tab)));
}

QString AnalysisWindow::writeCsv(const QString& fileName) const {
    // A failed export never leaves half a table, nor destroys an older file.
    const QByteArray bytes = csv();
    const QString failed = saveWhole(fileName, [&bytes](QIODevice& file) {
        return file.write(bytes) == bytes.size() ? QString() : file.errorString();
    });
    return failed.isEmpty() ? QString() : QStringLiteral("无法写入 CSV 文件 %1：%2").arg(fileName, failed);
}

void AnalysisWindow::setMessages(Messages* messages) {
    messages_ = messages != nullptr ? messages : &ownMessages_;
}

void AnalysisWindow::copy() { QGuiApplication::clipboard()->setText(copyText()); }

void AnalysisWindow::copyWholeTable() { QGuiApplication::clipboard()->setText(wholeTableText()); }

void AnalysisWindow::exportCsv() {
    if (!failure().isEmpty()) return;
    const QString title = tabs_->tabText(tabs_->currentIndex());
    const QString fileName = chooseFile_(
        this, proposer_ ? proposer_(title)
                        : QString::fromStdString(proposedFileName(Proposed::AnalysisTable, "作业", title.toStdString())));
    if (fileName.isEmpty()) return;
    const QString failed = writeCsv(fileName);
    if (!failed.isEmpty()) {
        messages_->say(failed.toStdString());
        return;
    }
    messages_->inform(QStringLiteral("“%1”已导出为 %2").arg(title, fileName).toStdString());
}

}  // namespace trelvan
