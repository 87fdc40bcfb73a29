#include "measurewidget.h"

#include "unitconverter.h"

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
