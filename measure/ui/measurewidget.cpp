#include "measurewidget.h"

#include "unitconverter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

const QVector<MeasureWidget::Tool> &MeasureWidget::tools()
{
    static const QVector<Tool> list = {
        {DrawType::Line, "drawLine_btn", QT_TR_NOOP("Line")},
        {DrawType::ThreePointLine, "drawThreePointLine_btn", QT_TR_NOOP("Three-Point Line")},
        {DrawType::HLine, "drawHLine_btn", QT_TR_NOOP("Horizontal Line")},
        {DrawType::VLine, "drawVLine_btn", QT_TR_NOOP("Vertical Line")},
        {DrawType::AnyLine, "drawAnyLine_btn", QT_TR_NOOP("Free Line")},
        {DrawType::Par, "drawPar_btn", QT_TR_NOOP("Parallel")},
        {DrawType::AnyPar, "drawAnyParLine_btn", QT_TR_NOOP("Multiple Parallels")},
        {DrawType::Ver, "drawVer_btn", QT_TR_NOOP("Perpendicular")},
        {DrawType::FourPointVerLine, "drawFourPointVerLine_btn", QT_TR_NOOP("Four-Point Perpendicular")},
        {DrawType::AnyVerLine, "drawAnyVerLine_btn", QT_TR_NOOP("Multiple Perpendiculars")},
        {DrawType::FourAng, "drawAng_btn", QT_TR_NOOP("Four-Point Angle")},
        {DrawType::ThreeAng, "drawThreeAng_btn", QT_TR_NOOP("Three-Point Angle")},
        {DrawType::Rect, "drawRect_btn", QT_TR_NOOP("Rectangle")},
        {DrawType::ThreePointRect, "drawThreePointRect_btn", QT_TR_NOOP("Three-Point Rectangle")},
        {DrawType::Arc, "drawArc_btn", QT_TR_NOOP("Arc")},
        {DrawType::Cir, "drawCircle_btn", QT_TR_NOOP("Three-Point Circle")},
        {DrawType::RadiusCir, "drawRadiusCircle_btn", QT_TR_NOOP("Centre and Radius Circle")},
        {DrawType::DiameterCir, "drawDiameterCircle_btn", QT_TR_NOOP("Diameter Circle")},
        {DrawType::TwoPointEllipse, "drawTwoPointEllipse_btn", QT_TR_NOOP("Two-Point Ellipse")},
        {DrawType::ThreePointEllipse, "drawThreePointEllipse_btn", QT_TR_NOOP("Three-Point Ellipse")},
        {DrawType::FivePointEllipse, "drawFivePointEllipse_btn", QT_TR_NOOP("Five-Point Ellipse")},
        {DrawType::Poly, "drawPoly_btn", QT_TR_NOOP("Polygon")},
        {DrawType::LCir, "drawLineCircle_btn", QT_TR_NOOP("Line to Circle")},
        {DrawType::TCir, "drawTwoCircle_btn", QT_TR_NOOP("Two Circles")},
        {DrawType::CCir, "drawCircleCenterLine_btn", QT_TR_NOOP("Circle Centre Line")},
        {DrawType::FourPointTCir, "drawFourPointTwoCircle_btn", QT_TR_NOOP("Four-Point Two Circles")},
        {DrawType::FourPointConcentricCir, "drawFourPointConcentricCircle_btn",
         QT_TR_NOOP("Four-Point Concentric Circles")},
        {DrawType::CenterRadiusConcentricCir, "drawCenterRadiusConcentricCircle_btn",
         QT_TR_NOOP("Centre and Radii Concentric Circles")},
        {DrawType::AnyPointConcentricCir, "drawAnyPointConcentricCircle_btn",
         QT_TR_NOOP("Multiple Concentric Circles")},
        {DrawType::PointPosition, "drawPos_btn", QT_TR_NOOP("Position")},
        {DrawType::PointSerialNumber, "drawSerialNumbers_btn", QT_TR_NOOP("Serial Numbers")},
    };
    return list;
}

MeasureWidget::MeasureWidget(QWidget *parent)
    : QWidget(parent)
    , m_edge(new QPushButton(this))
    , m_edgeSettings(new QPushButton(this))
    , m_unit(new QComboBox(this))
    , m_deleteAll(new QPushButton(this))
    , m_exportData(new QPushButton(this))
    , m_exportTemplate(new QPushButton(this))
    , m_importTemplate(new QPushButton(this))
    , m_calibration(new QComboBox(this))
    , m_exportCalibrations(new QPushButton(this))
    , m_importCalibrations(new QPushButton(this))
    , m_scale(new QCheckBox(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *toolBox = new QGroupBox(this);
    toolBox->setObjectName(QStringLiteral("measuringTool_box"));
    auto *grid = new QGridLayout(toolBox);
    for (const Tool &tool : tools()) {
        auto *button = new QPushButton(toolBox);
        button->setObjectName(QLatin1String(tool.objectName));
        const int index = m_toolButtons.size();
        grid->addWidget(button, index / 2, index % 2);
        const DrawType type = tool.type;
        connect(button, &QPushButton::clicked, this, [this, type] { emit signalSetDrawMode(type); });
        m_toolButtons.append(button);
    }
    layout->addWidget(toolBox);

    m_edge->setObjectName(QStringLiteral("edge_btn"));
    m_edge->setCheckable(true);
    m_edgeSettings->setObjectName(QStringLiteral("edgeSet_btn"));
    auto *edgeRow = new QHBoxLayout;
    edgeRow->addWidget(m_edge);
    edgeRow->addWidget(m_edgeSettings);
    layout->addLayout(edgeRow);
    connect(m_edge, &QPushButton::toggled, this, &MeasureWidget::on_edge_btn_toggled);
    connect(m_edgeSettings, &QPushButton::clicked, this, &MeasureWidget::openEdgeSettings);

    auto *calibrationBox = new QGroupBox(this);
    calibrationBox->setObjectName(QStringLiteral("calibrationTool_box"));
    auto *calibrationLayout = new QGridLayout(calibrationBox);
    const struct
    {
        DrawType type;
        const char *objectName;
    } calibrationTools[] = {{DrawType::LCali, "drawLineCali_btn"}, {DrawType::CCali, "drawCircleCali_btn"}};
    for (const auto &tool : calibrationTools) {
        auto *button = new QPushButton(calibrationBox);
        button->setObjectName(QLatin1String(tool.objectName));
        const DrawType type = tool.type;
        connect(button, &QPushButton::clicked, this, [this, type] { emit signalSetDrawMode(type); });
        calibrationLayout->addWidget(button, 0, m_calibrationTools.size());
        m_calibrationTools.append(button);
    }
    m_calibration->setObjectName(QStringLiteral("calibration_comboBox"));
    calibrationLayout->addWidget(m_calibration, 1, 0, 1, 2);
    connect(m_calibration, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { emit signalCalibrationChosen(index - 1); });
    m_exportCalibrations->setObjectName(QStringLiteral("exportCali_btn"));
    m_importCalibrations->setObjectName(QStringLiteral("importCali_btn"));
    calibrationLayout->addWidget(m_exportCalibrations, 2, 0);
    calibrationLayout->addWidget(m_importCalibrations, 2, 1);
    connect(m_exportCalibrations, &QPushButton::clicked, this, &MeasureWidget::signalExportCalibrations);
    connect(m_importCalibrations, &QPushButton::clicked, this, &MeasureWidget::signalImportCalibrations);
    m_scale->setObjectName(QStringLiteral("scale_cBox"));
    calibrationLayout->addWidget(m_scale, 3, 0, 1, 2);
    connect(m_scale, &QCheckBox::toggled, this, &MeasureWidget::signalShowScale);
    layout->addWidget(calibrationBox);

    m_unit->setObjectName(QStringLiteral("unit_comboBox"));
    for (int unit = Unit::Pixel; unit <= Unit::Inch; ++unit)
        m_unit->addItem(QString(), unit);
    connect(m_unit, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { emit signalUnitChange(m_unit->currentData().toInt()); });
    layout->addWidget(m_unit);

    m_deleteAll->setObjectName(QStringLiteral("graphicsDelAll_btn"));
    connect(m_deleteAll, &QPushButton::clicked, this, &MeasureWidget::signalDelAllItem);
    layout->addWidget(m_deleteAll);
    m_exportData->setObjectName(QStringLiteral("exportData_btn"));
    m_exportTemplate->setObjectName(QStringLiteral("exportTemplate_btn"));
    m_importTemplate->setObjectName(QStringLiteral("importTemplate_btn"));
    connect(m_exportData, &QPushButton::clicked, this, &MeasureWidget::signalExportData);
    connect(m_exportTemplate, &QPushButton::clicked, this, &MeasureWidget::signalExportTemplate);
    connect(m_importTemplate, &QPushButton::clicked, this, &MeasureWidget::signalImportTemplate);
    layout->addWidget(m_exportData);
    auto *templates = new QHBoxLayout;
    templates->addWidget(m_exportTemplate);
    templates->addWidget(m_importTemplate);
    layout->addLayout(templates);
    layout->addStretch();
    retranslate();
}

void MeasureWidget::retranslate()
{
    for (int i = 0; i < m_toolButtons.size(); ++i)
        m_toolButtons[i]->setText(tr(tools()[i].text));
    findChild<QGroupBox *>(QStringLiteral("measuringTool_box"))->setTitle(tr("Measuring Tool"));
    m_edge->setText(tr("Edge Snapping"));
    m_edgeSettings->setText(tr("Edge Settings"));
    const char *const units[] = {
        QT_TR_NOOP("Pixel"),          QT_TR_NOOP("Picometer(pm)"),  QT_TR_NOOP("Angstrom(Å)"),
        QT_TR_NOOP("Nanometer(nm)"),  QT_TR_NOOP("Micrometer(um)"), QT_TR_NOOP("Millimeter(mm)"),
        QT_TR_NOOP("Centimeter(cm)"), QT_TR_NOOP("Meter(m)"),       QT_TR_NOOP("mil"),
        QT_TR_NOOP("inch(in)")};
    for (int i = 0; i < m_unit->count(); ++i)
        m_unit->setItemText(i, tr(units[i]));
    m_deleteAll->setText(tr("Delete all graphics"));
    m_exportData->setText(tr("Export Data"));
    m_exportTemplate->setText(tr("Export Template"));
    m_importTemplate->setText(tr("Import Template"));
    findChild<QGroupBox *>(QStringLiteral("calibrationTool_box"))->setTitle(tr("Calibration Tool"));
    m_calibrationTools[0]->setText(tr("Line Calibration"));
    m_calibrationTools[1]->setText(tr("Circle Calibration"));
    if (m_calibration->count() > 0)
        m_calibration->setItemText(0, tr("default"));
    m_exportCalibrations->setText(tr("Export Calibrations"));
    m_importCalibrations->setText(tr("Import Calibrations"));
    m_scale->setText(tr("Scale Bar"));
}

void MeasureWidget::on_edge_btn_toggled(bool checked)
{
    emit signalEdgeDetectModeChanged(checked ? EdgeDetectSettingsDialog::storedMode() : EdgeDetectMode::Off);
}

void MeasureWidget::openEdgeSettings()
{
    auto *dialog = new EdgeDetectSettingsDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &EdgeDetectSettingsDialog::edgeDetectModeChanged, this, [this](EdgeDetectMode mode) {
        if (m_edge->isChecked())
            emit signalEdgeDetectModeChanged(mode);
    });
    connect(dialog, &EdgeDetectSettingsDialog::edgeDetectRangeChanged, this,
            &MeasureWidget::signalEdgeDetectRangeChanged);
    dialog->open();
}

void MeasureWidget::setCalibrations(const QStringList &names, int current)
{
    const QSignalBlocker blocker(m_calibration);
    m_calibration->clear();
    m_calibration->addItem(tr("default"));
    m_calibration->addItems(names);
    m_calibration->setCurrentIndex(current + 1);
}

int MeasureWidget::unit() const
{
    return m_unit->currentData().toInt();
}

void MeasureWidget::setUnit(int unit)
{
    const int index = m_unit->findData(unit);
    if (index >= 0)
        m_unit->setCurrentIndex(index);
}

void MeasureWidget::setShowScale(bool show)
{
    m_scale->setChecked(show);
}
