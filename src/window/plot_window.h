#pragma once
// 查看 ▸ 网图…: the chain plot in a window of its own. It opens with the whole chain
// fitted; the wheel zooms about the point under the cursor, dragging pans, and a
// point's tooltip gives its coordinates, standard errors and error ellipse. Each
// view is laid out afresh, of only what is in sight, so that the names thinned out
// of a long chain come back as it is zoomed in. 导出… writes the whole plot on A4 as
// SVG, PNG or PDF, as batch mode's --plot does; 打印 prints it on the printer, or
// offers it as a PDF file when there is none; 关闭 and Esc close the window.

#include <chrono>
#include <functional>
#include <optional>

#include <QPointF>
#include <QString>
#include <QWidget>

#include "entry/interfaces.h"
#include "plot/plot.h"
#include "state/chain_state.h"
#include "window/long_work.h"
#include "window/qt_seams.h"

class QLabel;
class QPrinter;

namespace trelvan {

class MainForm;

// The plot of one figure at a view that the operator moves. The widget is the
// plot's page: its size in millimetres of the screen, names and captions their
// usual size on it.
class PlotCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PlotCanvas(QWidget* parent = nullptr);

    // A new figure, fitted to the canvas.
    void setFigure(plot::ChainFigure figure);
    const plot::ChainFigure& figure() const { return figure_; }

    plot::PageSetup page() const;
    const plot::Transform& view() const { return view_; }
    // The whole chain in the drawing area, as it opens.
    void fit();
    // `factor` times larger (smaller below 1) about `at`, in widget pixels: the
    // ground under `at` stays there. The scale stays between a quarter of the fitted
    // one and 1:5.
    void zoomAt(QPointF at, double factor);
    // The chain moves with the cursor by `pixels`.
    void panBy(QPointF pixels);

    double pixelsPerMillimetre() const;
    plot::Ground groundAt(QPointF at) const;
    QPointF widgetPointOf(plot::Ground ground) const;

    // The plot of the current view, laid out again when the view has changed.
    const plot::Plot& laidOut();
    // What a tooltip at `at` says of the point there; empty when none is near.
    QString toolTipAt(QPointF at) const;

signals:
    void viewChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setView(const plot::Transform& view);

    plot::ChainFigure figure_;
    TextWidth measure_;
    plot::Transform view_;
    double fittedScale_ = 0;
    bool fitted_ = true;  // refitted when the window is resized
    plot::Plot plot_;
    bool stale_ = true;
    std::optional<QPointF> dragFrom_;
};

// What 打印 asks of the system, replaceable in tests. A failure is returned as a
// Chinese message naming its cause; empty means success.
struct PlotPrintHooks {
    // The printer to use: the default printer, else the first one installed; empty
    // when there is none.
    std::function<QString()> findPrinter;
    // Prints the whole plot on the named printer's paper, as the file export lays it
    // out; a stop asked for by the progress cancels the job.
    std::function<QString(const plot::ChainFigure&, const QString& printer, const PaintProgress&)> print;
    // Asks a yes/no question; true for yes.
    std::function<bool(QWidget* parent, const QString& question)> confirm;
    // Where the PDF goes when there is no printer, and how long work shows.
    ExportHooks pdf;

    // The real printers, dialogs and progress.
    static PlotPrintHooks system();
};

// Prints the whole plot on the printer's paper, turned as the chain lies and laid
// out as the file export lays it on A4: empty on success, else why not. A stop
// asked for by `progress` cancels the job.
QString printChainPlot(QPrinter& printer, const plot::ChainFigure& figure, const PaintProgress& progress = {});

class PlotWindow : public QWidget {
    Q_OBJECT
public:
    explicit PlotWindow(QWidget* parent = nullptr);

    // The plot of the record's last completed computation, fitted.
    void showRecord(const ChainState& record);
    // A new completed result is shown afresh, fitted; the result shown stays as the
    // operator left it.
    void followRecord(const ChainState& record);

    PlotCanvas* canvas() const { return canvas_; }
    // Where the export writes and how its progress shows; tests put in their own.
    void setExportHooks(ExportHooks hooks) { hooks_ = std::move(hooks); }
    void setMessages(Messages* messages) { messages_ = messages ? messages : &ownMessages_; }
    void setPrintHooks(PlotPrintHooks hooks) { printHooks_ = std::move(hooks); }
    // Writes the whole plot on A4 to a file the operator chooses, proposing the name
    // `proposer` gives.
    void exportPlot();
    void setProposer(std::function<QString()> proposer) { proposer_ = std::move(proposer); }
    // 打印: the whole plot on the printer; with none, offered as a PDF file named as
    // `proposer` gives.
    void printPlot();

private:
    void showScale();

    PlotCanvas* canvas_ = nullptr;
    QLabel* status_ = nullptr;
    QString note_;  // said beside the scale: why the ellipses are missing
    std::chrono::system_clock::time_point shown_{};
    ExportHooks hooks_;
    std::function<QString()> proposer_;
    PlotPrintHooks printHooks_;
    MessageBoxMessages ownMessages_{this};
    Messages* messages_ = &ownMessages_;
};

// The hooks of the real export: Qt's Chinese file dialog for SVG, PNG or PDF, and
// the progress dialog.
ExportHooks plotExportHooks();

// Opens the plot window of `form`, one for the form, or brings it to the front;
// it follows every computation that completes on the form.
PlotWindow* showChainPlot(MainForm& form);

}  // namespace trelvan
