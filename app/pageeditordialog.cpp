#include "pageeditordialog.h"

#include "configstore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

struct Option
{
    int key;
    const char *text;
};

struct Section
{
    const char *title;
    std::vector<Option> options;
};

const std::vector<Section> &sections()
{
    using namespace DisplayOptionsKey;
    static const std::vector<Section> list = {
        {QT_TRANSLATE_NOOP("PageEditorDialog", "Main interface"),
         {{EnableSwapMainInterfaceControls, QT_TRANSLATE_NOOP("PageEditorDialog", "Swap the main interface controls")},
          {EnableLabelPagePos, QT_TRANSLATE_NOOP("PageEditorDialog", "Navigation bar at the bottom")}}},
        {QT_TRANSLATE_NOOP("PageEditorDialog", "Show or hide the camera device controls"),
         {{EnableOptionNosepiece, QT_TRANSLATE_NOOP("PageEditorDialog", "Nosepiece")},
          {EnableOptionFocus, QT_TRANSLATE_NOOP("PageEditorDialog", "Focus")},
          {EnableOptionZoom, QT_TRANSLATE_NOOP("PageEditorDialog", "Zoom")},
          {EnableOptionExposure, QT_TRANSLATE_NOOP("PageEditorDialog", "Exposure")},
          {EnableOptionSlowShutter, QT_TRANSLATE_NOOP("PageEditorDialog", "Slow Shutter")},
          {EnableOptionWhiteBalance, QT_TRANSLATE_NOOP("PageEditorDialog", "WhiteBalance")},
          {EnableOptionBlackBalance, QT_TRANSLATE_NOOP("PageEditorDialog", "BlackBalance")},
          {EnableOptionLED, QT_TRANSLATE_NOOP("PageEditorDialog", "LED")},
          {EnableOptionROI, QT_TRANSLATE_NOOP("PageEditorDialog", "ROI")},
          {EnableOptionHistogram, QT_TRANSLATE_NOOP("PageEditorDialog", "Histogram")},
          {EnableOptionFlatFieldCorrection, QT_TRANSLATE_NOOP("PageEditorDialog", "Flat-Field Correction")},
          {EnableOptionRotate, QT_TRANSLATE_NOOP("PageEditorDialog", "Rotate")},
          {EnableOptionHue, QT_TRANSLATE_NOOP("PageEditorDialog", "Hue")},
          {EnableOptionSaturation, QT_TRANSLATE_NOOP("PageEditorDialog", "Saturation")},
          {EnableOptionContrast, QT_TRANSLATE_NOOP("PageEditorDialog", "Contrast")},
          {EnableOptionSharpness, QT_TRANSLATE_NOOP("PageEditorDialog", "Sharpness")},
          {EnableOptionGamma, QT_TRANSLATE_NOOP("PageEditorDialog", "Gamma")},
          {EnableOptionDRC, QT_TRANSLATE_NOOP("PageEditorDialog", "DRC")},
          {EnableOptionColorMode, QT_TRANSLATE_NOOP("PageEditorDialog", "Color Mode")},
          {EnableOptionPowerLineFrequency, QT_TRANSLATE_NOOP("PageEditorDialog", "Power Line Frequency")},
          {EnableOptionFlip, QT_TRANSLATE_NOOP("PageEditorDialog", "Flip")},
          {EnableOptionDefog, QT_TRANSLATE_NOOP("PageEditorDialog", "Defog")},
          {EnableOptionChromaticAberrationCorrection,
           QT_TRANSLATE_NOOP("PageEditorDialog", "Chromatic Aberration Correction")},
          {EnableOptionLocalDisplayContrastImprovement, QT_TRANSLATE_NOOP("PageEditorDialog", "Local Contrast")},
          {EnableOptionNegative, QT_TRANSLATE_NOOP("PageEditorDialog", "Negative")}}},
        {QT_TRANSLATE_NOOP("PageEditorDialog", "Acquire"),
         {{EnableOptionAcquisitionModule, QT_TRANSLATE_NOOP("PageEditorDialog", "Acquisition")},
          {EnableOptionStitching, QT_TRANSLATE_NOOP("PageEditorDialog", "Stitching")},
          {EnableOptionExtendedDepthOfField, QT_TRANSLATE_NOOP("PageEditorDialog", "Extended Depth of Field")},
          {EnableOptionColorComposite, QT_TRANSLATE_NOOP("PageEditorDialog", "Color Composite")},
          {EnableOptionCount, QT_TRANSLATE_NOOP("PageEditorDialog", "Count")}}},
        {QT_TRANSLATE_NOOP("PageEditorDialog", "Measure"),
         {{EnableOptionMeasureModule, QT_TRANSLATE_NOOP("PageEditorDialog", "Measurement")},
          {EnableShowMeasurementToolsInFullScreen,
           QT_TRANSLATE_NOOP("PageEditorDialog", "Measurement tools in full screen")}}},
        {QT_TRANSLATE_NOOP("PageEditorDialog", "Annotate"),
         {{EnableOptionAnnotateModule, QT_TRANSLATE_NOOP("PageEditorDialog", "Annotation")}}},
        {QT_TRANSLATE_NOOP("PageEditorDialog", "Report"),
         {{EnableOptionReportModule, QT_TRANSLATE_NOOP("PageEditorDialog", "Report")}}},
    };
    return list;
}

} // namespace

PageEditorDialog::PageEditorDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Page Editor"));
    auto *layout = new QVBoxLayout(this);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto *content = new QWidget(scroll);
    auto *contentLayout = new QVBoxLayout(content);
    const QMap<int, QVariant> stored = ConfigStore::instance().read(ConfigGroup::DisplayOptions);
    for (const Section &section : sections()) {
        auto *group = new QGroupBox(tr(section.title), content);
        auto *grid = new QGridLayout(group);
        int i = 0;
        for (const Option &option : section.options) {
            auto *box = new QCheckBox(tr(option.text), group);
            box->setChecked(stored.value(option.key, false).toBool());
            m_boxes.insert(option.key, box);
            grid->addWidget(box, i / 3, i % 3);
            ++i;
        }
        contentLayout->addWidget(group);
    }
    contentLayout->addStretch();
    scroll->setWidget(content);
    layout->addWidget(scroll);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PageEditorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PageEditorDialog::reject);
    layout->addWidget(buttons);
    resize(640, 560);
}

void PageEditorDialog::accept()
{
    ConfigStore &store = ConfigStore::instance();
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        store.write(ConfigGroup::DisplayOptions, it.key(), it.value()->isChecked());
    emit displayOptionsChanged();
    QDialog::accept();
}
