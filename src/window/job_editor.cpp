#include "window/job_editor.h"

#include <algorithm>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
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
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QUndoStack>
#include <QVBoxLayout>

#include "entry/value_checks.h"
#include "job/sheet_reduction.h"
#include "job/sheet_wording.h"
#include "state/constants.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

const QString markedField = QStringLiteral("QLineEdit { background-color: #ff9696; }");

QString q(const std::string& text) { return QString::fromStdString(text); }
std::string s(const QString& text) { return text.toStdString(); }

bool isNumberField(SheetField f) { return f != SheetField::NameA && f != SheetField::NameB; }

bool isUndoKey(const QKeyEvent* key) {
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

// One step of the editor's undo stack. Typing in one field merges into one step
// until the field is left (`typing` counts such stretches; -1 for any other edit).
class SheetCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const SheetEdit&, bool forward)>;
    SheetCommand(Apply apply, SheetEdit edit, const QString& text, int typing)
        : QUndoCommand(text), apply_(std::move(apply)), edit_(std::move(edit)), typing_(typing) {}

    void redo() override { apply_(edit_, true); }
    void undo() override { apply_(edit_, false); }
    int id() const override { return typing_ >= 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const SheetCommand*>(other);
        if (next->typing_ != typing_ || edit_.fields.size() != 1 || next->edit_.fields.size() != 1 ||
            next->edit_.fields.front().field != edit_.fields.front().field)
            return false;
        SheetEdit::Field& f = edit_.fields.front();
        f.after = next->edit_.fields.front().after;
        setObsolete(f.after == f.before);
        return true;
    }

private:
    Apply apply_;
    SheetEdit edit_;
    int typing_;
};

}  // namespace

// ---------------------------------------------------------------- the editor

JobEditor::JobEditor(QWidget* parent, JobSheet sheet, const QString& fileName, const std::string& savedText,
                     Hooks hooks)
    : QDialog(parent), sheet_(std::move(sheet)), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("JobEditor"));
    setSaved(fileName, savedText);
    setSizeGripEnabled(true);
    undo_ = new QUndoStack(this);

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
    layout->addLayout(buildButtons());

    showCount();
    showChoice(SheetChoice::Weights);
    showChoice(SheetChoice::Combine);
    showChoice(SheetChoice::Ellipsoid);
    showChoice(SheetChoice::Gauss);
    // Room for a chain's first sides at a glance, within the screen at any scaling; a
    // chain of measured sides as wide as the screen allows, for their columns.
    QSize size(hasMeasuredSide(sheet_) ? 1500 : 980, 700);
    if (const QScreen* screen = parent != nullptr ? parent->screen() : nullptr)
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

void JobEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // A measured chain's tables take what the settings leave at their least width.
    if (hasMeasuredSide(sheet_)) {
        const int whole = splitter_->width() - splitter_->handleWidth();
        splitter_->setSizes({whole - settingsArea_->minimumWidth(), settingsArea_->minimumWidth()});
    }
}

QLayout* JobEditor::buildButtons() {
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text);
        b->setObjectName(QString::fromUtf8(name));
        // Enter in a field finishes the field; it does not start a computation.
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    // Undo and redo, as buttons and as keys anywhere in the editor. A field being
    // typed in or a cell being edited takes back its own typing first.
    const auto step = [&](const char* name, const QString& text, QList<QKeySequence> keys, bool back) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromUtf8(name) + QStringLiteral("Action"));
        action->setShortcuts(keys);
        action->setEnabled(false);
        addAction(action);
        QPushButton* b = button(name, text);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
        connect(action, &QAction::triggered, undo_, back ? &QUndoStack::undo : &QUndoStack::redo);
        connect(undo_, back ? &QUndoStack::canUndoChanged : &QUndoStack::canRedoChanged, action, &QAction::setEnabled);
        connect(undo_, back ? &QUndoStack::undoTextChanged : &QUndoStack::redoTextChanged, b,
                [b, text, keys](const QString& what) {
                    b->setToolTip(what.isEmpty() ? QString() : text + QStringLiteral("：") + what + QStringLiteral("（") +
                                                                   keys.front().toString(QKeySequence::NativeText) +
                                                                   QStringLiteral("）"));
                });
    };
    step("undoButton", QStringLiteral("撤销"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, true);
    step("redoButton", QStringLiteral("重做"),
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, false);
    // The length of the chain, under its tables.
    buttons->addSpacing(16);
    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("triangleCount"));
    buttons->addWidget(count_);
    connect(button("addTriangle", QStringLiteral("添加三角形")), &QPushButton::clicked, this, &JobEditor::addTriangle);
    remove_ = button("removeTriangle", QStringLiteral("删除最后的三角形"));
    connect(remove_, &QPushButton::clicked, this, &JobEditor::removeTriangle);
    buttons->addStretch(1);
    connect(button("computeButton", QStringLiteral("计算")), &QPushButton::clicked, this, &JobEditor::compute);
    connect(button("saveButton", QStringLiteral("保存…")), &QPushButton::clicked, this, &JobEditor::save);
    connect(button("closeButton", QStringLiteral("关闭")), &QPushButton::clicked, this, &JobEditor::reject);
    return buttons;
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
        const SheetChoice choice = e == 0 ? SheetChoice::OrientationA : SheetChoice::OrientationB;
        auto* group = new QButtonGroup(box);
        const char* texts[] = {end.azimuth, end.point, "无定向"};
        const QPoint cells[] = {{1, row}, {3, row}, {1, row + 1}};
        for (int w = 0; w < 3; ++w)
            grid->addWidget(newChoiceButton(choice, static_cast<int>(ways[w]), QString::fromUtf8(texts[w]), group),
                            cells[w].y(), cells[w].x());
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
        showChoice(choice);
    }
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);
    return box;
}

// The weights of the observations: by the mean side, or by the distance meter's
// stated accuracy and the orientation angles' standard error.
//
//   (•) 按平均边长定权          ( ) 按测距仪标称精度定权
//   测距精度 a     [    ] 毫米  b [    ] 毫米/公里
//   (•) 线性 a + b·D             ( ) 平方和根 √(a² + (b·D)²)
//   定向角中误差 σQ [    ] 秒
QWidget* JobEditor::buildWeights() {
    auto* box = new QGroupBox(QStringLiteral("观测精度"));
    box->setObjectName(QStringLiteral("weightsGroup"));
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(4);
    const auto label = [](const char* text) { return new QLabel(QString::fromUtf8(text)); };
    // Two ways side by side, each starting in its own column pair.
    const auto ways = [&](int row, SheetChoice choice, int first, const char* firstText, int second,
                          const char* secondText) {
        auto* group = new QButtonGroup(box);
        grid->addWidget(newChoiceButton(choice, first, QString::fromUtf8(firstText), group), row, 0, 1, 3);
        grid->addWidget(newChoiceButton(choice, second, QString::fromUtf8(secondText), group), row, 3, 1, 3);
    };
    ways(0, SheetChoice::Weights, static_cast<int>(SheetWeights::MeanSide), "按平均边长定权",
         static_cast<int>(SheetWeights::Instrument), "按测距仪标称精度定权");
    grid->addWidget(label("测距精度 a"), 1, 0);
    grid->addWidget(newField(SheetField::InstrumentA, 50), 1, 1);
    grid->addWidget(label("毫米"), 1, 2);
    grid->addWidget(label("b"), 1, 3, Qt::AlignRight);
    grid->addWidget(newField(SheetField::InstrumentB, 50), 1, 4);
    grid->addWidget(label("毫米/公里"), 1, 5);
    ways(2, SheetChoice::Combine, static_cast<int>(WeightModel::Combine::Linear), "线性 a + b·D",
         static_cast<int>(WeightModel::Combine::Quadrature), "平方和根 √(a² + (b·D)²)");
    grid->addWidget(label("定向角中误差 σQ"), 3, 0);
    grid->addWidget(newField(SheetField::SigmaQ, 50), 3, 1);
    grid->addWidget(label("秒"), 3, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    return box;
}

// The chain's settings for reducing measured sides; a field left empty shows the
// default that then applies.
//
//   椭球 [CGCS2000 ▾]          [x] 高斯投影改化
//   东伪偏移 [500000] 米       投影面高程 H0 [0] 米
//   加常数 K [0]      毫米     乘常数 R [0]  毫米/公里
//   气象公式 A [    ]          B [    ]
//   平均高程 Hm [    ] 米
QWidget* JobEditor::buildReduction() {
    auto* box = new QGroupBox(QStringLiteral("边长归算"));
    box->setObjectName(QStringLiteral("reductionGroup"));
    box->setToolTip(QStringLiteral("实测边的归算设置；不填的一项用括号中的默认值"));
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(4);
    const auto label = [](const char* text) { return new QLabel(QString::fromUtf8(text)); };

    ellipsoid_ = new QComboBox;
    ellipsoid_->setObjectName(QStringLiteral("reduction.ellipsoid"));
    for (const std::string& name : ellipsoidNames()) ellipsoid_->addItem(q(name));
    // A name a file gave that this program does not know, kept to be refused.
    if (sheet_.ellipsoid == SheetEllipsoid::AsRead)
        ellipsoid_->addItem(q(sheet_.ellipsoidAsRead) + QStringLiteral("（未知）"));
    connect(ellipsoid_, &QComboBox::activated, this, [this](int index) {
        const int way = static_cast<int>(SheetEllipsoid::CGCS2000) + index;
        commit(editOf(sheet_, [&](JobSheet& s) { setChoice(s, SheetChoice::Ellipsoid, way); }), QStringLiteral("改变"));
    });
    gauss_ = new QCheckBox(QStringLiteral("高斯投影改化"));
    gauss_->setObjectName(QStringLiteral("reduction.gauss"));
    gauss_->setToolTip(QStringLiteral("不选时，边长只归算到投影面，作为独立平面上的边长"));
    connect(gauss_, &QCheckBox::clicked, this, [this](bool on) {
        const int way = static_cast<int>(on ? SheetGauss::On : SheetGauss::Off);
        commit(editOf(sheet_, [&](JobSheet& s) { setChoice(s, SheetChoice::Gauss, way); }), QStringLiteral("改变"));
    });

    const auto field = [&](SheetField f, const char* placeholder, const char* tip) {
        QLineEdit* e = newField(f, 50);
        e->setPlaceholderText(QString::fromUtf8(placeholder));
        e->setToolTip(QString::fromUtf8(tip));
        return e;
    };
    grid->addWidget(label("椭球"), 0, 0);
    grid->addWidget(ellipsoid_, 0, 1, 1, 2);
    grid->addWidget(gauss_, 0, 3, 1, 3);
    grid->addWidget(label("东伪偏移"), 1, 0);
    grid->addWidget(field(SheetField::FalseEasting, "500000",
                          "横座标的东伪偏移，米；Y 前面写有带号（38512637.225）时为 38500000"),
                    1, 1);
    grid->addWidget(label("米"), 1, 2);
    grid->addWidget(label("投影面高程 H0"), 1, 3);
    grid->addWidget(field(SheetField::H0, "0", "投影面的高程，米：0 为高程基准面，采用抵偿高程面时为其高程"), 1, 4);
    grid->addWidget(label("米"), 1, 5);
    grid->addWidget(label("加常数 K"), 2, 0);
    grid->addWidget(field(SheetField::ConstantK, "0", "测距仪的加常数，毫米；仪器已改正时为 0"), 2, 1);
    grid->addWidget(label("毫米"), 2, 2);
    grid->addWidget(label("乘常数 R"), 2, 3);
    grid->addWidget(field(SheetField::ConstantR, "0", "测距仪的乘常数，毫米/公里；仪器已改正时为 0"), 2, 4);
    grid->addWidget(label("毫米/公里"), 2, 5);
    const char* meteoTip = "仪器说明书中的气象改正公式 ppm = A − B·p / (273.15 + t)，p 以 hPa、t 以 °C 计；"
                           "只有填写温度和气压的边才用到";
    grid->addWidget(label("气象公式 A"), 3, 0);
    grid->addWidget(field(SheetField::MeteoA, "", meteoTip), 3, 1);
    grid->addWidget(label("B"), 3, 3, Qt::AlignRight);
    grid->addWidget(field(SheetField::MeteoB, "", meteoTip), 3, 4);
    grid->addWidget(label("平均高程 Hm"), 4, 0);
    grid->addWidget(field(SheetField::DefaultHm, "", "没有填写平均高程的实测边所用的平均高程，米"), 4, 1);
    grid->addWidget(label("米"), 4, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    return box;
}

QRadioButton* JobEditor::newChoiceButton(SheetChoice choice, int way, const QString& text, QButtonGroup* group) {
    auto* r = new QRadioButton(text);
    group->addButton(r);
    choiceButtons_.push_back({choice, way, r});
    connect(r, &QRadioButton::toggled, this, [this, choice, way](bool on) {
        if (!on) return;
        commit(editOf(sheet_, [&](JobSheet& s) { setChoice(s, choice, way); }), QStringLiteral("改变"));
    });
    return r;
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
    e->installEventFilter(this);
    // What is typed is kept as typed, one step of the undo stack while the field is
    // being typed in; a number is shown in the general number form once the field is
    // left, within the same step.
    connect(e, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { commit(fieldEdit(sheet_, field, s(text)), QStringLiteral("输入"), true); });
    connect(e, &QLineEdit::editingFinished, this, [this, field] {
        if (isNumberField(field))
            commit(fieldEdit(sheet_, field, shownNumber(sheet_[field])), QStringLiteral("输入"), true);
        ++typing_;
    });
    return e;
}

bool JobEditor::eventFilter(QObject* watched, QEvent* event) {
    // Left unaccepted, the key goes to the editor's own undo and redo.
    if (event->type() == QEvent::ShortcutOverride && isUndoKey(static_cast<QKeyEvent*>(event))) return true;
    return QDialog::eventFilter(watched, event);
}

QWidget* JobEditor::buildTables() {
    // The tables and the settings beside them, parted by a handle that gives the
    // tables more room, to the whole width of a measured chain's columns when the
    // settings are pushed aside.
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setObjectName(QStringLiteral("tablesAndSettings"));
    auto* area = new QWidget;
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    tablesRow_ = row;
    splitter_->addWidget(area);

    const auto commitCell = [this](SheetEdit edit) { commit(std::move(edit), QStringLiteral("输入")); };
    sides_ = new SheetTableModel(sheet_, SheetTableModel::Table::Sides, commitCell, this);
    names_ = new SheetTableModel(sheet_, SheetTableModel::Table::Names, commitCell, this);
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
        connect(v, &SheetView::pasteRequested, this,
                [this, model, v](const QModelIndex& at) { pasteInto(model, v, at); });
        connect(v, &SheetView::clearRequested, this, &JobEditor::clearCells);
        return v;
    };
    sideView_ = view(sides_, "sideTable", "观测边长 S1 … S(2N+1)", 0);
    choosePositionFromList(*sideView_);
    // As wide as its columns: a length of a national-grid chain to the tenth of a
    // millimetre, the side of the route, and a measurement's values and corrections,
    // each as wide as its figures or its header's longer line.
    const QFontMetrics metrics = sideView_->fontMetrics();
    sideView_->setColumnWidth(SheetTableModel::Length, metrics.horizontalAdvance(QStringLiteral("00000000.0000")) + 24);
    sideView_->setColumnWidth(SheetTableModel::Position, metrics.horizontalAdvance(QStringLiteral("位于路线")) + 24);
    sideView_->setColumnWidth(SheetTableModel::Sigma, metrics.horizontalAdvance(QStringLiteral("σ（毫米）")) + 24);
    const char* const samples[] = {"平面", "00000.0000", "-000.000", "000.00000", "0000.00", "-00.0", "-00.0",
                                   "0000.0", "-000.00", "-000.00", "-000.00", "-000.00"};
    for (int c = SheetTableModel::Kind; c < sideColumnCount; ++c) {
        int width = metrics.horizontalAdvance(QString::fromUtf8(samples[c - SheetTableModel::Kind]));
        for (const QString& line : q(sideColumnHeader(c)).split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line));
        sideView_->setColumnWidth(c, width + 16);
    }
    nameView_ = view(names_, "nameTable", "点名（点 1 … N）", 1);
    fitSideView();

    // The groups of settings and the hint; on a small screen they scroll rather than
    // push the buttons off the screen.
    auto* controls = new QWidget;
    auto* column = new QVBoxLayout(controls);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(buildWeights());
    column->addWidget(buildReduction());
    column->addSpacing(8);
    auto* hint = new QLabel(QStringLiteral(
        "角度按“度.分秒”输入：312.2415 即 312°24′15″。\n\n"
        "偶数边位于方位角推算路线的右侧时，可输入负的边长，或在“位于路线”一栏选“右”。\n\n"
        "测距仪的实测边：在“观测”一栏选斜距或平距，或在这一栏粘贴一列距离，或直接在“实测距离 D”一栏输入距离；"
        "再填写高差 dh 或天顶距 Z、平均高程和气象数据。边长一栏随即显示归算边长 D4，右边各栏显示四项改正数。"
        "把表格与这些设置之间的分隔条向右拖，表格可占满宽度。\n\n"
        "在表格中按 Ctrl+V，可从当前格起向下粘贴电子表格中的一列数值（在实测各栏可粘贴几列）；"
        "锁不够长时按三角形加长。Delete 清除所选的格。\n\n"
        "Ctrl+Z 撤销上一步修改，Ctrl+Y 重做。"));
    hint->setWordWrap(true);
    hint->setMinimumWidth(180);
    hint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    column->addWidget(hint, 1);
    auto* controlsArea = new QScrollArea;
    controlsArea->setObjectName(QStringLiteral("settingsArea"));
    controlsArea->setFrameShape(QFrame::NoFrame);
    controlsArea->setWidgetResizable(true);
    controlsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    controlsArea->setWidget(controls);
    controlsArea->setMinimumWidth(controls->minimumSizeHint().width() +
                                  controlsArea->verticalScrollBar()->sizeHint().width());
    controlsArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    settingsArea_ = controlsArea;
    splitter_->addWidget(controlsArea);
    splitter_->setCollapsible(0, false);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    splitter_->handle(1)->setToolTip(QStringLiteral("拖动可调整表格与设置的宽度；拖到最右边，表格占满整个宽度"));
    return splitter_;
}

QRadioButton* JobEditor::orientationButton(bool endA, EndOrientation orientation) const {
    return choiceButton(endA ? SheetChoice::OrientationA : SheetChoice::OrientationB, static_cast<int>(orientation));
}

QRadioButton* JobEditor::choiceButton(SheetChoice choice, int way) const {
    for (const ChoiceButton& b : choiceButtons_)
        if (b.choice == choice && b.way == way) return b.button;
    return nullptr;
}

void JobEditor::showChoice(SheetChoice choice) {
    int way = choiceOf(sheet_, choice);
    // A job that names no weights is weighted by the mean side.
    if (choice == SheetChoice::Weights && way == static_cast<int>(SheetWeights::Unnamed))
        way = static_cast<int>(SheetWeights::MeanSide);
    if (QRadioButton* chosen = choiceButton(choice, way); chosen != nullptr && !chosen->isChecked()) {
        const QSignalBlocker quiet(chosen);
        chosen->setChecked(true);
    }
    for (int f = 0; f < sheetFieldCount; ++f) {
        const auto field = static_cast<SheetField>(f);
        if (QLineEdit* e = edit(field); e != nullptr && governingChoice(field) == choice)
            e->setEnabled(fieldInJob(sheet_, field));
    }
    // The reduction's: an ellipsoid or Gauss step the job does not name shows its default.
    if (choice == SheetChoice::Ellipsoid && ellipsoid_ != nullptr) {
        const int named = static_cast<int>(sheet_.ellipsoid) - static_cast<int>(SheetEllipsoid::CGCS2000);
        const QSignalBlocker quiet(ellipsoid_);
        ellipsoid_->setCurrentIndex(std::max(named, 0));
    }
    if (choice == SheetChoice::Gauss && gauss_ != nullptr) {
        const QSignalBlocker quiet(gauss_);
        gauss_->setChecked(sheet_.gauss != SheetGauss::Off);
    }
    if (choice != SheetChoice::Weights) return;
    for (const ChoiceButton& b : choiceButtons_)
        if (b.choice == SheetChoice::Combine) b.button->setEnabled(combineInJob(sheet_));
    if (sideView_ != nullptr) fitSideView();
}

void JobEditor::fitSideView() {
    sideView_->setColumnHidden(SheetTableModel::Sigma, !showsSideErrors(sheet_));
    // A measurement's columns once a side is measured; until then, only how each side
    // is given, where a side is made measured.
    const bool measuring = hasMeasuredSide(sheet_);
    for (int c = SheetTableModel::FirstMeasure; c < sideColumnCount; ++c) sideView_->setColumnHidden(c, !measuring);
    int width = sideView_->verticalHeader()->minimumWidth() + sideView_->verticalScrollBar()->sizeHint().width() +
                2 * sideView_->frameWidth() + 4;
    int least = width;
    for (int c = 0; c < sides_->columnCount(); ++c) {
        if (sideView_->isColumnHidden(c)) continue;
        width += sideView_->columnWidth(c);
        if (c <= SheetTableModel::FirstMeasure) least += sideView_->columnWidth(c);
    }
    // The names, beside the sides, take the room the sides leave until a side is
    // measured; then the sides take it.
    if (nameView_ != nullptr)
        nameView_->setMaximumWidth(measuring ? nameView_->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 16
                                             : QWIDGETSIZE_MAX);
    if (!measuring) {
        sideView_->setFixedWidth(width);
        if (tablesRow_ != nullptr) tablesRow_->setStretch(0, 0);
        return;
    }
    // As wide as there is room for, to the whole width of its columns; narrower, it
    // scrolls sideways with the sides' names kept in view.
    sideView_->setMinimumWidth(std::min(least, width));
    sideView_->setMaximumWidth(width);
    if (tablesRow_ != nullptr) tablesRow_->setStretch(0, 4);
}

void JobEditor::revealSetting(QWidget* widget) {
    if (!settingsArea_->widget()->isAncestorOf(widget)) return;
    // Settings pushed aside come back, at the least width they need.
    const QList<int> sizes = splitter_->sizes();
    if (sizes.value(1) < settingsArea_->minimumWidth()) {
        const int whole = sizes.value(0) + sizes.value(1);
        splitter_->setSizes({whole - settingsArea_->minimumWidth(), settingsArea_->minimumWidth()});
    }
    settingsArea_->ensureWidgetVisible(widget);
}

QString JobEditor::message() const { return message_->text(); }

void JobEditor::setSaved(const QString& fileName, const std::string& savedText) {
    fileName_ = fileName;
    savedText_ = savedText;
    const QString shown = fileName.isEmpty() ? QString() : QStringLiteral(" - ") + QFileInfo(fileName).fileName();
    setWindowTitle(QStringLiteral("作业数据") + shown);
}

void JobEditor::showMessage(const QString& message, bool fault) {
    shownProblem_.reset();
    message_->setStyleSheet(fault ? QStringLiteral("color: #b00000;") : QStringLiteral("color: #006000;"));
    message_->setText(message);
}

void JobEditor::clearMarks() {
    for (QLineEdit* e : edits_) e->setStyleSheet(QString());
    ellipsoid_->setStyleSheet(QString());
    sides_->mark({});
    names_->mark({});
    sideView_->setStyleSheet(QString());
    nameView_->setStyleSheet(QString());
    count_->setStyleSheet(QString());
}

void JobEditor::showProblem(const JobProblem& problem, const QString& message) {
    clearMarks();
    showMessage(message, true);
    shownProblem_ = problem;
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
        case SheetPlace::Kind::Field:
        case SheetPlace::Kind::Group: {
            const std::vector<SheetField> fields = placeFields(place);
            for (SheetField f : fields) edit(f)->setStyleSheet(markedField);
            for (SheetChoice c : placeChoices(place))
                if (c == SheetChoice::Ellipsoid) {
                    ellipsoid_->setStyleSheet(QStringLiteral("QComboBox { background-color: #ff9696; }"));
                    revealSetting(ellipsoid_);
                    ellipsoid_->setFocus();
                }
            if (fields.empty()) break;
            QLineEdit* first = edit(fields.front());
            revealSetting(first);
            first->setFocus();
            first->selectAll();
            break;
        }
        case SheetPlace::Kind::Name: markCell(names_, nameView_, place.index - 1, 0); break;
        case SheetPlace::Kind::Side: markCell(sides_, sideView_, place.index - 1, place.column); break;
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
    undo_->setClean();
    accept();
}

void JobEditor::save() {
    const std::optional<Job> job = checked();
    if (!job || !hooks_.save) return;
    if (!hooks_.save(*this, *job)) return;
    undo_->setClean();
    showMessage(q(savedMessage(s(fileName_))), false);
}

bool JobEditor::isModified() const { return !undo_->isClean(); }

void JobEditor::addTriangle() {
    if (sheet_.triangles() >= maxTriangles) {
        showMessage(q(triangleCountRangeReason()) + QStringLiteral("。"), true);
        return;
    }
    commit(editOf(sheet_, [](JobSheet& s) { addTriangles(s, 1); }), QStringLiteral("添加"));
    const QModelIndex first = sides_->index(sheet_.sides() - 2, SheetTableModel::Length);
    sideView_->setCurrentIndex(first);
    sideView_->scrollTo(first);
    nameView_->scrollToBottom();
}

void JobEditor::removeTriangle() {
    const int n = sheet_.triangles();
    if (n <= 1) return;
    if (!lastTriangleIsEmpty(sheet_) && hooks_.confirm && !hooks_.confirm(this, q(removeTriangleQuestion(n)))) return;
    commit(editOf(sheet_, [](JobSheet& s) { removeLastTriangle(s); }), QStringLiteral("删除"));
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
    SheetEdit edit = editOf(sheet_, [&](JobSheet& s) {
        pasted = model == sides_ ? pasteSides(s, first, column, text) : pasteNames(s, first, text);
    });
    if (pasted.refusal) {
        showMessage(q(pasteRefusedMessage(*pasted.refusal)), true);
        return;
    }
    if (pasted.count == 0) return;
    commit(std::move(edit), QStringLiteral("粘贴"));
    const QModelIndex from = model->index(first - 1, column);
    const QModelIndex to = model->index(first - 2 + pasted.count, column);
    view->setCurrentIndex(from);
    view->selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
    view->scrollTo(from);
    showMessage(q(pastedMessage(pasted.count, before, sheet_.triangles())), false);
}

void JobEditor::clearCells(const QModelIndexList& cells) {
    SheetEdit edit = editOf(sheet_, [&](JobSheet& s) {
        for (const QModelIndex& cell : cells) {
            if (!(cell.flags() & Qt::ItemIsEditable)) continue;
            const auto row = static_cast<std::size_t>(cell.row());
            if (cell.model() == names_) s.name[row].clear();
            // A measured side's length is worked out, not typed: it is not cleared.
            else if (cell.column() == SheetTableModel::Length && sideKind(s, cell.row() + 1) == SideKind::Plane)
                s.side[row].clear();
            else if (cell.column() >= SheetTableModel::FirstMeasure && cell.column() < SheetTableModel::FirstCorrection)
                typeMeasurement(s, cell.row() + 1, static_cast<MeasurePart>(cell.column() - SheetTableModel::FirstMeasure),
                                "");
        }
    });
    commit(std::move(edit), QStringLiteral("清除"));
}

void JobEditor::commit(SheetEdit edit, const QString& verb, bool typing) {
    if (edit.empty()) return;
    const QString text = verb + QStringLiteral(" ") + q(editSubject(edit));
    undo_->push(new SheetCommand([this](const SheetEdit& e, bool forward) { apply(e, forward); }, std::move(edit),
                                 text, typing ? typing_ : -1));
    if (!typing) ++typing_;  // typing in a field begins a step of its own afterwards
}

void JobEditor::apply(const SheetEdit& edit, bool forward) {
    const auto change = [&] { forward ? edit.redo(sheet_) : edit.undo(sheet_); };
    if (edit.trianglesBefore != edit.trianglesAfter) {
        sides_->changeRows([&] { names_->changeRows(change); });
        showCount();
    } else {
        change();
        sides_->showEdit(edit);
        names_->showEdit(edit);
    }
    for (const SheetEdit::Field& f : edit.fields) {
        QLineEdit* e = this->edit(f.field);
        const QString text = q(sheet_[f.field]);
        if (e->text() != text) {
            e->setText(text);
            e->setCursorPosition(0);
        }
    }
    for (const SheetEdit::Choice& c : edit.choices) showChoice(c.choice);
    if (!edit.measures.empty() || edit.trianglesBefore != edit.trianglesAfter) fitSideView();

    // The fault marked is told until its place is mended; an edit there that leaves
    // another fault in its place tells that one.
    if (shownProblem_ && editReaches(edit, sheetPlaceOf(*shownProblem_))) {
        const std::optional<JobProblem> still = problemStillAt(sheet_, *shownProblem_);
        if (!still) {
            clearMarks();
            showMessage(QString(), false);
        } else if (still->what != shownProblem_->what) {
            message_->setText(q(sheetMessage(*still)));
            shownProblem_ = still;
        }
    }
}

void JobEditor::showCount() {
    count_->setText(q(triangleCountText(sheet_.triangles())));
    remove_->setEnabled(sheet_.triangles() > 1);
}

void JobEditor::reject() {
    if (isModified() && hooks_.confirm && !hooks_.confirm(this, q(dropEditsQuestion()))) return;
    QDialog::reject();
}

}  // namespace trelvan
