// A long plot tells its progress as it is drawn, and a stop asked for at any point
// leaves no file, no temporary and an older file as it was, in every format.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "plot/computed_chain.h"
#include "plot/painter/plot_painter.h"

namespace trelvan::plot {
namespace {

TEST(PlotProgress, ToldAsItIsDrawnAndAStopLeavesNothingBehind) {
    const testing::ComputedChain c = testing::computeChain(3000, 9);
    ASSERT_EQ(c.outcome, ComputeOutcome::Completed);
    const ChainFigure figure = chainFigure(c.source());
    const Plot plot = layoutPlot(figure, paperSetup(figure));
    const int work = plotWork(plot);
    ASSERT_GT(work, 6000);
    QTemporaryDir dir;
    for (const char* name : {"plot.svg", "plot.png", "plot.pdf"}) {
        SCOPED_TRACE(name);
        const QString file = dir.filePath(name);
        const PlotFormat format = *plotFormatOf(file);
        std::vector<int> told;
        ASSERT_EQ(writePlot(plot, file, format, 100, [&](int done, int total) {
                      EXPECT_EQ(total, work);
                      told.push_back(done);
                      return true;
                  }),
                  QString());
        ASSERT_FALSE(told.empty());
        EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
        EXPECT_EQ(told.back(), work);
        // A raster or PDF device hears of the long runs of sides while they are drawn.
        if (format != PlotFormat::Svg) {
            EXPECT_GT(told.size(), 4u);
        }

        for (double share : {0.0, 0.5, 0.95}) {
            QFile old(file);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
            old.write("older plot");
            old.close();
            const QString said = writePlot(plot, file, format, 100, [&](int done, int) { return done < share * work; });
            EXPECT_FALSE(said.isEmpty()) << share;
            QFile kept(file);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), QByteArray("older plot")) << share;
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
        }
        QFile::remove(file);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

}  // namespace
}  // namespace trelvan::plot
