// 文件 ▸ 导出坐标 on a decimal-comma desktop: each format written with full stops,
// said once written; a stopped export and a cancelled file dialog leave nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/decimal_comma_locale.h"
#include "support/scripted.h"
#include "window/coordinate_export_action.h"
#include "window/main_form.h"

namespace trelvan {
namespace {

const std::vector<std::string> typedN4 = {
    "4", "", "3452118.406", "", "512637.225", "", "3452701.525", "", "515088.829", "", "0", "", "0", "",
    "0", "", "0", "", "312.2415", "", "160.23026", "", "77.43016", "", "-63.29474", "", "2.5",
    "K07", "D1", "D2", "D3", "D4", "K08", "601.544", "", "-848.482", "", "769.475", "", "1101.074", "",
    "796.970", "", "-1049.501", "", "735.633", "", "1049.576", "", "799.645", ""};

TEST(CoordinateExport, TheItemsWriteFullStopsOnADecimalCommaDesktopAndStopLeavingNothing) {
    const testing::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active()) << testing::DecimalCommaLocale::missing;
    testing::Harness h;
    MainForm form;
    form.setPrompter(&h.prompter);
    form.setMessages(&h.messages);
    EXPECT_FALSE(form.menuActions().exportDxf->isEnabled());
    for (const std::string& r : typedN4) h.prompter.add(r);
    form.Command1_Click();
    ASSERT_TRUE(form.record().hasResult());
    EXPECT_TRUE(form.menuActions().exportDat->isEnabled());
    EXPECT_TRUE(form.menuActions().exportCsv->isEnabled());
    EXPECT_TRUE(form.menuActions().exportDxf->isEnabled());

    QTemporaryDir dir;
    QString chosen;
    bool goOn = true;
    ExportHooks hooks;
    hooks.chooseFile = [&](QWidget*, const QString&) { return chosen; };
    hooks.progress = [&](QWidget*, const QString&) -> PaintProgress { return [&](int, int) { return goOn; }; };
    const std::size_t said = h.messages.said.size();
    for (const auto& [format, name] : {std::pair{exports::Format::CassData, "c.dat"},
                                       std::pair{exports::Format::Csv, "c.csv"},
                                       std::pair{exports::Format::Dxf, "c.dxf"}}) {
        chosen = dir.filePath(QString::fromUtf8(name));
        exportCoordinates(&form, form.record(), format, h.messages, hooks, {});
        ASSERT_EQ(h.messages.said.size(), said + 1);
        EXPECT_EQ(h.messages.said.back(), "坐标已导出为 " + exports::formatName(format) + " " +
                                              chosen.toStdString() + "（共 6 个点）");
        h.messages.said.pop_back();
        QFile file(chosen);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.contains("3452118.406") && bytes.contains("512637.225")) << name;
        EXPECT_FALSE(bytes.contains("3452118,406") || bytes.contains("512637,225")) << name;
    }

    const QStringList written = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    goOn = false;
    chosen = dir.filePath(QStringLiteral("stopped.dxf"));
    exportCoordinates(&form, form.record(), exports::Format::Dxf, h.messages, hooks, {});
    goOn = true;
    chosen.clear();  // the operator closes the file dialog
    exportCoordinates(&form, form.record(), exports::Format::CassData, h.messages, hooks, {});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), written);
    EXPECT_EQ(h.messages.said.size(), said);

    exportCoordinates(nullptr, ChainState{}, exports::Format::Csv, h.messages, hooks, {});
    ASSERT_EQ(h.messages.said.size(), said + 1);
    EXPECT_EQ(h.messages.said.back(), exports::noResultToExport);
}

}  // namespace
}  // namespace trelvan
