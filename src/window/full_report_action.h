#pragma once
// 文件 ▸ 导出完整报告 PDF…: the full report of the last completed computation, to a
// PDF file the operator chooses, with a progress dialog that can cancel it when the
// writing takes long.

#include "entry/interfaces.h"
#include "state/chain_state.h"
#include "window/print_action.h"
#include "window/long_work.h"

class QWidget;

namespace trelvan {

// The real file dialog and progress dialog.
ExportHooks fullReportHooks();

// Writes the full report of `record`, its pages' feet naming the job file of
// `origin`, to a file proposed as `origin` says. Before any completed computation it
// writes nothing and says so. A cancelled choice of file or a cancelled writing leave
// no file and say nothing; a failure is said through `messages`, a success too. The
// record is not changed.
void exportFullReport(QWidget* parent, const ChainState& record, Messages& messages,
                      const ExportHooks& hooks = fullReportHooks(), const ReportOrigin& origin = {});

}  // namespace trelvan
