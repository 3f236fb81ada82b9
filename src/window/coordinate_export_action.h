#pragma once
// 文件 ▸ 导出坐标 ▸ CASS 数据文件… / CSV… / DXF…: the coordinates of the last
// completed computation to a file the operator chooses, with the progress and the
// outcome of every other export.

#include "entry/interfaces.h"
#include "export/coordinates.h"
#include "job/proposed_name.h"
#include "state/chain_state.h"
#include "window/long_work.h"

class QWidget;

namespace trelvan {

// The real file dialog, asking for a file of the format's kind, and the progress dialog.
ExportHooks coordinateExportHooks(exports::Format format);

// The file name proposed for a format: K07-K08.dat, K07-K08 坐标.csv, K07-K08.dxf.
Proposed proposedFor(exports::Format format);

// Writes the coordinates of `record` in `format`, proposing `suggested`. Before any
// completed computation it writes nothing and says so. A cancelled choice of file or
// a cancelled writing leave no file and say nothing; a refused name or a failure is
// said through `messages`, a success too. The record is not changed.
void exportCoordinates(QWidget* parent, const ChainState& record, exports::Format format, Messages& messages,
                       const ExportHooks& hooks, const QString& suggested);

}  // namespace trelvan
