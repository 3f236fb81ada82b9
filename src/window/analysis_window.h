#pragma once
// 精度分析: the precision analysis of the last completed computation as five tables
// (closures and tests, points, sides, reliability, the summary) on tabs of a window
// of its own, beside the main window. Every table sorts by any column on the figures
// behind its texts, copies as tab-separated text and exports as CSV. The window
// follows each newly completed computation.

#include <functional>
#include <vector>

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>

#include "analysis/tables.h"
#include "entry/interfaces.h"
#include "state/chain_state.h"
#include "window/qt_seams.h"

class QLabel;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace trelvan {

class MainForm;

// One analysis table as a model: the texts as shown, figures right-aligned, the
// rows the table marks (over their limit, suspect, the weakest) highlighted.
class AnalysisTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the whole table; the views keep their sort column.
    void setTable(analysis::Table table);
    const analysis::Table& table() const { return table_; }
    const analysis::TableCell* cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The background of a marked row.
    static QColor markedBackground();

private:
    analysis::Table table_;
};

// Sorts a table by the figures behind its cells (never by their texts), with words
// after the figures in either direction; equal cells keep the table's own order.
class AnalysisSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisWindow(QWidget* parent = nullptr);
    ~AnalysisWindow() override;

    // The window of `form`, made on first use: shows the analysis of the form's
    // record and brings it to the front. It is not a child of the form's window, so
    // that either can stand in front of the other, but it lives no longer than the
    // form, and it shows each computation the form completes from then on.
    static AnalysisWindow* openFor(MainForm& form);

    // Analyses `record` and shows its tables, keeping the tab and every sort order.
    // A record that cannot be analysed shows why instead.
    void showAnalysisOf(const ChainState& record);

    // The message shown instead of the tables; empty when the tables are shown.
    QString failure() const;

    QTabWidget* tabs() const { return tabs_; }
    QTableView* view(int tab) const;
    const AnalysisTableModel* model(int tab) const { return models_[static_cast<std::size_t>(tab)]; }

    // The current table's selected cells, or the whole table with its header when
    // nothing is selected, as tab-separated text in the order shown.
    QString copyText() const;
    // The whole current table with its header, in the order shown.
    QString wholeTableText() const;
    // The current table as CSV bytes, in the order shown.
    QByteArray csv() const;

    // Writes the current table to `fileName` as CSV, whole or not at all; returns
    // the failure in words, empty on success.
    QString writeCsv(const QString& fileName) const;

    // Where messages go and how the CSV file is chosen (tests script both). The
    // window does not own what it is given; nullptr restores its own.
    void setMessages(Messages* messages);
    using FileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // The CSV file proposed for the table titled `title`.
    void setProposer(std::function<QString(const QString& title)> proposer) { proposer_ = std::move(proposer); }

public slots:
    void copy();             // copyText() to the clipboard
    void copyWholeTable();   // wholeTableText() to the clipboard
    void exportCsv();        // asks for a file and writes the current table to it

protected:
    // Ctrl+C in a table copies what copy() copies, not only the current cell.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<int> shownRows(int tab) const;
    void fitColumns(int tab);

    QStackedWidget* pages_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* failure_ = nullptr;
    std::vector<AnalysisTableModel*> models_;
    std::vector<AnalysisSortModel*> sorted_;
    std::vector<QTableView*> views_;
    bool sized_ = false;

    MessageBoxMessages ownMessages_{this};
    Messages* messages_ = &ownMessages_;
    FileChooser chooseFile_;
    std::function<QString(const QString& title)> proposer_;
};

}  // namespace trelvan
