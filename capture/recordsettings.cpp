#include "recordsettings.h"

#include "configstore.h"
#include "namingform.h"
#include "photonaming.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QTimeEdit>

using namespace NamingForm;

namespace {

ConfigStore &store()
{
    return ConfigStore::instance();
}

int secondsOf(const QTime &time)
{
    return QTime(0, 0).secsTo(time);
}

} // namespace

RecordSettings::RecordSettings(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Record Settings"));
    build();
    load();
    // Connected only now, so that loading the stored values writes nothing back.
    connectControls();
}

QString RecordSettings::saveFolder()
{
    QString folder = store().value(ConfigGroup::Record, RecordKey::SavePath).toString();
    if (folder.isEmpty())
        folder = store().value(ConfigGroup::Base, BaseKey::OpenedVideoPath).toString();
    QDir().mkpath(folder);
    return folder;
}

void RecordSettings::build()
{
    auto *form = new QFormLayout(this);

    m_savePath = named(new QLineEdit, "savePath_lineEdit");
    m_savePath->setReadOnly(true);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_savePath);
    auto *select = named(new QPushButton(tr("Select")), "openSavePath_btn");
    pathRow->addWidget(select);
    connect(select, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Select"), m_savePath->text());
        if (folder.isEmpty())
            return;
        m_savePath->setText(folder);
        store().write(ConfigGroup::Record, RecordKey::SavePath, folder);
    });
    form->addRow(tr("Save Path"), pathRow);

    m_prefix = named(new QLineEdit, "prefix_lineEdit");
    form->addRow(tr("NamePrefix"), m_prefix);
    m_naming = new QButtonGroup(this);
    m_naming->addButton(named(new QRadioButton(tr("Time")), "timeNaming_rBtn"), PhotoNaming::Time);
    m_naming->addButton(named(new QRadioButton(tr("Auto Index")), "autoIndex_rBtn"), PhotoNaming::AutoIndex);
    m_timeFormat = timeFormatBox();
    m_digits = digitsBox();
    auto *naming = new QFormLayout;
    naming->addRow(m_naming->button(PhotoNaming::Time), m_timeFormat);
    naming->addRow(m_naming->button(PhotoNaming::AutoIndex), m_digits);
    form->addRow(tr("Naming"), naming);
    m_sample = named(new QLabel, "sample_label");
    form->addRow(tr("Sample"), m_sample);
    m_format = named(new QComboBox, "format_comboBox");
    m_format->addItem(QStringLiteral("mp4"));
    form->addRow(tr("Video Format"), m_format);

    m_quickSaveYes = named(new QRadioButton(tr("Yes")), "quickSaveY_rBtn");
    m_quickSaveNo = named(new QRadioButton(tr("No, ask for the file")), "quickSaveN_rBtn");
    auto *quickSave = new QHBoxLayout;
    quickSave->addWidget(m_quickSaveYes);
    quickSave->addWidget(m_quickSaveNo);
    quickSave->addStretch();
    form->addRow(tr("Quick Save"), quickSave);

    m_enableTiming = named(new QCheckBox(tr("Enable")), "enableTiming_checkBox");
    m_remainingTime = secondsEdit("remainingTime_timeEdit");
    auto *timing = new QHBoxLayout;
    timing->addWidget(m_enableTiming);
    timing->addWidget(new QLabel(tr("Start after")));
    timing->addWidget(m_remainingTime);
    m_duration = secondsEdit("duration_timeEdit");
    m_duration->setToolTip(tr("00:00:00 records until stopped"));
    timing->addWidget(new QLabel(tr("Duration")));
    timing->addWidget(m_duration);
    form->addRow(tr("Timing"), timing);

    addCloseButton(this, form);
}

void RecordSettings::load()
{
    const PhotoNaming naming = PhotoNaming::fromRecordSettings();
    m_savePath->setText(saveFolder());
    m_prefix->setText(naming.prefix);
    m_acceptedPrefix = naming.prefix;
    m_naming->button(naming.kind)->setChecked(true);
    m_timeFormat->setCurrentIndex(naming.timeFormatIndex);
    m_digits->setCurrentIndex(naming.digits - 4);
    const bool quickSave = store().value(ConfigGroup::Record, RecordKey::QuickSaveVideo, true).toBool();
    (quickSave ? m_quickSaveYes : m_quickSaveNo)->setChecked(true);
    m_enableTiming->setChecked(store().value(ConfigGroup::Record, RecordKey::EnableTiming, false).toBool());
    m_remainingTime->setTime(
        QTime(0, 0).addSecs(store().value(ConfigGroup::Record, RecordKey::RemainingTime, 0).toInt()));
    m_duration->setTime(QTime(0, 0).addSecs(store().value(ConfigGroup::Record, RecordKey::Duration, 0).toInt()));
    updateSample();
}

void RecordSettings::connectControls()
{
    const auto write = [this](int key, const QVariant &value) {
        store().write(ConfigGroup::Record, key, value);
        updateSample();
    };
    connect(m_prefix, &QLineEdit::textChanged, this, &RecordSettings::setPrefix);
    connect(m_naming, &QButtonGroup::idToggled, this, [write](int kind, bool checked) {
        if (checked)
            write(RecordKey::SaveTypeVideo, kind);
    });
    connect(m_timeFormat, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [write](int index) { write(RecordKey::TimeNamingFormatIndex, index); });
    connect(m_digits, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [write](int index) { write(RecordKey::AutoNumberingDigits, index + 4); });
    connect(m_quickSaveYes, &QRadioButton::toggled, this,
            [write](bool checked) { write(RecordKey::QuickSaveVideo, checked); });
    connect(m_enableTiming, &QCheckBox::toggled, this,
            [write](bool checked) { write(RecordKey::EnableTiming, checked); });
    connect(m_remainingTime, &QTimeEdit::timeChanged, this,
            [write](const QTime &time) { write(RecordKey::RemainingTime, secondsOf(time)); });
    connect(m_duration, &QTimeEdit::timeChanged, this,
            [write](const QTime &time) { write(RecordKey::Duration, secondsOf(time)); });
}

void RecordSettings::updateSample()
{
    m_sample->setText(PhotoNaming::fromRecordSettings().sampleName());
}

void RecordSettings::setPrefix(const QString &text)
{
    if (!PhotoNaming::isValidPrefix(text)) {
        // The refused text goes back to the last accepted prefix, which stays stored.
        const QSignalBlocker blocker(m_prefix);
        m_prefix->setText(m_acceptedPrefix);
        warnRefusedPrefix(this);
        return;
    }
    m_acceptedPrefix = text;
    store().write(ConfigGroup::Record, RecordKey::PrefixDataVideo, text);
    updateSample();
}
