// An export as the operator asks for it: the file made whole in memory, refused for
// a name the format cannot hold, and written under a temporary name and renamed, so
// that a failure or a stop leaves no part of a file and an older one as it was.

#include <exception>
#include <optional>

#include "export/coordinates.h"
#include "job/job.h"
#include "state/number_format.h"

namespace trelvan::exports {

Outcome exportCoordinates(const ChainState& record, Format format, const std::string& fileName,
                          const Progress& progress) {
    const std::string kind = formatName(format);
    if (!record.hasResult()) return {Outcome::Kind::Failed, noResultToExport};
    const auto failed = [&](const std::string& why) {
        return Outcome{Outcome::Kind::Failed, "无法写入 " + kind + " " + fileName + "：" + why + "。"};
    };

    Contents contents;
    try {
        if (format == Format::CassData) {
            contents = cassData(record, progress);
        } else {
            // The CSV carries the precision of every point, and the drawing its ellipse.
            const std::optional<analysis::ChainPrecision> precision = analysis::analyse(record);
            if (!precision) return failed("无法进行精度分析");
            contents = format == Format::Csv ? coordinateCsv(record, *precision, progress)
                                             : drawingDxf(record, *precision, progress);
        }
    } catch (const std::exception& failure) {
        // An analysis that fails, or a conversion the C library does not offer.
        return failed(failure.what());
    }
    if (contents.stopped) return {Outcome::Kind::Stopped, {}};
    if (!contents.refusal.empty())
        return {Outcome::Kind::Refused, "无法导出 " + kind + " " + fileName + "：" + contents.refusal + "。"};
    if (const auto failure = writeFileAtomically(fileName, contents.bytes)) return failed(*failure);
    return {Outcome::Kind::Written, "坐标已导出为 " + kind + " " + fileName + "（共 " +
                                        digits(record.N + 2) + " 个点）"};
}

}  // namespace trelvan::exports
