#include "window/check_marks.h"

#include <QColor>
#include <QLineEdit>
#include <QPalette>

#include "analysis/findings.h"
#include "report/check_block.h"

namespace trelvan {

namespace {

// The property that tells a marked box.
constexpr const char* overLimitProperty = "trelvanOverLimit";
// A misclosure over its limit: dark red on light red.
const QColor overLimitFace(255, 205, 205);
const QColor overLimitText(170, 0, 0);

// A box's tip, after the whole text a box too narrow for it already shows there.
void addTip(QLineEdit* edit, const std::string& tip) {
    const QString whole = edit->toolTip();
    const QString text = QString::fromStdString(tip);
    edit->setToolTip(whole.isEmpty() || whole.endsWith(text) ? text : whole + QLatin1Char('\n') + text);
}

// True while a box is painted as over its limit.
bool markedOverLimit(const QLineEdit* edit) { return edit != nullptr && edit->property(overLimitProperty).toBool(); }

}  // namespace

void clearMark(QLineEdit* edit) {
    if (!markedOverLimit(edit)) return;
    edit->setProperty(overLimitProperty, false);
    edit->setPalette(QPalette());  // the sheet's own again
}

void showChecks(const LineEditBoxes& boxes, const ChainState& record, Messages* warnings) {
    if (!record.hasResult()) return;
    const CheckFindings findings = analysis::checkFindings(record);
    for (const auto& [box, tip] : overLimitTips(findings)) {
        QLineEdit* edit = boxes.edit(box);
        if (edit == nullptr) continue;
        QPalette red = edit->palette();
        red.setColor(QPalette::Base, overLimitFace);
        red.setColor(QPalette::Text, overLimitText);
        edit->setPalette(red);
        edit->setProperty(overLimitProperty, true);
        addTip(edit, tip);
    }
    for (const auto& [box, tip] : precisionTips(findings))
        if (QLineEdit* edit = boxes.edit(box)) addTip(edit, tip);
    if (warnings == nullptr) return;
    if (const std::string warning = findingsWarning(findings); !warning.empty()) warnings->say(warning);
}

}  // namespace trelvan
