// Calibrations: the records made from a drawn length, the scale bar's length, their storage in
// calibration.ini and the ".cal" exchange file, hostile files included; the scale bar dialog.
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "calibration.h"
#include "calibrationpropertysetdialog.h"
#include "configstore.h"

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray int32(qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&le), 4);
}

CalibrateData record(const QString &name, double pixel)
{
    CalibrateData data = CalibrateData::create(name, "40", 1, "mm", pixel, {1920, 1080});
    data.scaleColor = QColor(1, 2, 3, 200);
    return data;
}

QStringList names(const QList<CalibrateData> &records)
{
    QStringList list;
    for (const CalibrateData &r : records)
        list << r.name;
    return list;
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ConfigStore> m_config;
    std::unique_ptr<CalibrationStore> m_store;

    QString path(const QString &name) const { return m_dir.path() + '/' + name; }

private slots:
    void init()
    {
        QFile::remove(path("calibration.ini"));
        m_config = std::make_unique<ConfigStore>(m_dir.path(), m_dir.path());
        m_store = std::make_unique<CalibrationStore>(*m_config);
    }

    void create_data()
    {
        QTest::addColumn<double>("length");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("pixel");
        QTest::addColumn<QString>("magnification");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("real");
        QTest::addColumn<QString>("scaleLength");
        QTest::newRow("1 mm over 200 px") << 1.0 << "mm" << 200.0 << "40"
                                          << "40X" << 5.0 << "1.5mm";
        QTest::newRow("1 inch over 254 px") << 1.0 << "inch" << 254.0 << "10x"
                                            << "10X" << 100.0 << "1.2inch";
        QTest::newRow("1500 um keeps its zeros") << 1000.0 << "um" << 200.0 << "4X"
                                                 << "4X" << 5.0 << "1500um";
        QTest::newRow("pixel unit") << 2.0 << "pix" << 100.0 << "100X"
                                    << "100X" << 2.0 << "300pix";
    }

    void create()
    {
        QFETCH(double, length);
        QFETCH(QString, unit);
        QFETCH(double, pixel);
        QFETCH(QString, magnification);
        QFETCH(QString, stored);
        QFETCH(double, real);
        QFETCH(QString, scaleLength);
        const CalibrateData data = CalibrateData::create("c", magnification, length, unit, pixel, {1920, 1080});
        QCOMPARE(data.real, real);
        QCOMPARE(data.magnification, stored);
        QCOMPARE(data.resolution, "1920x1080");
        QCOMPARE(data.scaleCurrentLength, scaleLength);
        // The scale bar draws the entered length back over the drawn pixels.
        if (unit != "pix")
            QCOMPARE(data.converter(1920).toPixels(length, UnitConverter::unitCode(unit)), pixel);
    }

    void resolutionFactor_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("resolution");
        QTest::addColumn<double>("factor");
        QTest::addColumn<double>("micrometres"); // 100 pixels at 5 um per pixel
        QTest::newRow("half the width") << 960 << "1920x1080" << 0.5 << 1000.0;
        QTest::newRow("same width") << 1920 << "1920x1080" << 1.0 << 500.0;
        QTest::newRow("no resolution") << 960 << "" << 1.0 << 500.0;
        QTest::newRow("zero width") << 960 << "0x0" << 1.0 << 500.0;
        QTest::newRow("unknown stream") << 0 << "1920x1080" << 1.0 << 500.0;
    }

    void resolutionFactor()
    {
        QFETCH(int, width);
        QFETCH(QString, resolution);
        QFETCH(double, factor);
        QFETCH(double, micrometres);
        CalibrateData data = CalibrateData::create("c", "10", 1, "mm", 200, {1920, 1080});
        data.resolution = resolution;
        QCOMPARE(CalibrateData::resolutionFactor(width, resolution), factor);
        QCOMPARE(data.converter(width).toUnit(100, Unit::Micrometre, false), micrometres);
    }

    void scaleLengthCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning"); // empty: accepted
        const QString bounds = "Please enter a value greater than 0.15 and less than 7.5!";
        QTest::newRow("2 pixels") << "0.01" << bounds;
        QTest::newRow("1510 pixels") << "7.55" << bounds;
        QTest::newRow("lower bound") << "0.15"
                                     << "";
        QTest::newRow("upper bound") << "7.5"
                                     << "";
        QTest::newRow("empty") << ""
                               << "The scale length is abnormal or empty!";
        QTest::newRow("not a number") << "1mm"
                                      << "The scale length is abnormal or empty!";
    }

    void scaleLengthCheck()
    {
        QFETCH(QString, text);
        QFETCH(QString, warning);
        const double pixelsPerMillimetre =
            CalibrateData::create("c", "10", 1, "mm", 200, {}).converter(0).toPixels(1, Unit::Millimetre);
        CalibrationMessage message;
        QCOMPARE(ScaleLength::check(text, pixelsPerMillimetre, &message), warning.isEmpty());
        QCOMPARE(message.text, warning);
    }

    void scaleBarLength_data()
    {
        QTest::addColumn<QString>("calibrationUnit");
        QTest::addColumn<QString>("chosen"); // the record's scale length
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("pixels");
        QTest::newRow("chosen") << "mm"
                                << "0.5mm" << int(Unit::Millimetre) << 0.5 << 100.0;
        QTest::newRow("chosen in another unit") << "mm"
                                                << "0.5mm" << int(Unit::Micrometre) << 500.0 << 100.0;
        QTest::newRow("none chosen") << "mm"
                                     << "" << int(Unit::Millimetre) << 1.5 << 300.0;
        QTest::newRow("chosen in pixels") << "mm"
                                          << "200pix" << int(Unit::Micrometre) << 1500.0 << 300.0;
        // Under the pixel unit the bar spans a quarter of the 1920-pixel scene.
        QTest::newRow("pixel unit") << "mm"
                                    << "0.5mm" << int(Unit::Pixel) << 480.0 << 480.0;
        QTest::newRow("pixel calibration") << "pix"
                                           << "300pix" << int(Unit::Millimetre) << 480.0 << 480.0;
    }

    void scaleBarLength()
    {
        QFETCH(QString, calibrationUnit);
        QFETCH(QString, chosen);
        QFETCH(int, unit);
        QFETCH(double, length);
        QFETCH(double, pixels);
        CalibrateData data = CalibrateData::create("c", "10", 1, calibrationUnit, 200, {1920, 1080});
        data.scaleCurrentLength = chosen;
        const UnitConverter converter = data.converter(1920);
        QCOMPARE(ScaleLength::forCalibration(data, converter, unit, 1920), length);
        QCOMPARE(converter.toPixels(length, unit), pixels);
    }

    // Appends at the end, replaces and deletes by index; a turret record replaces its slot's.
    // Everything reads back the same from the file.
    void storedAndReadBack()
    {
        QVERIFY(m_store->append(record("a", 200)));
        QVERIFY(m_store->append(record("b", 100)));
        QVERIFY(m_store->append(record("c", 50)));
        QVERIFY(m_store->replace(1, record("B", 100)));
        QVERIFY(m_store->remove(0));
        QVERIFY(!m_store->remove(2));
        CalibrateData slot = record("slot2", 100);
        slot.isNosepiece = true;
        slot.nosepieceSlot = 2;
        QVERIFY(m_store->storeNosepiece(slot));
        slot.nosepieceSlot = 3;
        QVERIFY(m_store->storeNosepiece(slot));
        slot.name = "slot2 again";
        slot.nosepieceSlot = 2;
        slot.af = 7;
        QVERIFY(m_store->storeNosepiece(slot));

        ConfigStore reopened(m_dir.path(), m_dir.path());
        const CalibrationStore store(reopened);
        const QList<CalibrateData> plain = store.calibrations();
        QCOMPARE(names(plain), QStringList({"B", "c"}));
        QVERIFY(plain.at(1).sameExchanged(record("c", 50)));
        QCOMPARE(plain.at(1).scaleColor, QColor(1, 2, 3, 200));
        const QList<CalibrateData> turret = store.nosepieceCalibrations();
        QCOMPARE(names(turret), QStringList({"slot2 again", "slot2"}));
        QCOMPARE(turret.at(0).af, 7);
        QCOMPARE(turret.at(1).nosepieceSlot, 3);
        QVERIFY(turret.at(1).isNosepiece);
    }

    // Deleting a record before the one in use keeps that one chosen; OK refuses a bar outside
    // 30 to 1500 pixels with the bounds in the record's unit and stores an accepted one.
    void scaleDialog()
    {
        QVERIFY(m_store->append(CalibrateData::create("other", "10", 1, "um", 200, {1920, 1080})));
        QVERIFY(m_store->append(CalibrateData::create("stage", "10", 1, "mm", 200, {1920, 1080})));
        CalibrationPropertySetDialog dialog(*m_store, 1, 1920);
        QSignalSpy deleted(&dialog, &CalibrationPropertySetDialog::signalCalibrationDel);
        QSignalSpy changed(&dialog, &CalibrationPropertySetDialog::signalCalibrationChanged);
        QSignalSpy chosen(&dialog, &CalibrationPropertySetDialog::signalCalibrationChosen);
        dialog.show();
        auto *list = dialog.findChild<QListWidget *>("calibration_listWidget");
        list->setCurrentRow(1);
        dialog.findChild<QPushButton *>("delete_btn")->click();
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(deleted.first().first().toInt(), 0);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("stage"));

        auto *length = dialog.findChild<QLineEdit *>("scaleLength_lineEdit");
        QCOMPARE(length->text(), QStringLiteral("1.5")); // 300 pixels
        length->setText("0.01");
        dialog.accept();
        auto *warning = dialog.findChild<QMessageBox *>();
        QVERIFY(warning && dialog.isVisible());
        QCOMPARE(warning->windowTitle(), QStringLiteral("Warning"));
        QCOMPARE(warning->text(), QStringLiteral("Please enter a value greater than 0.15 and less than 7.5!"));
        QVERIFY(changed.isEmpty());

        length->setText("0.5");
        dialog.findChild<QSpinBox *>("lineWidth_spinBox")->setValue(3);
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 0);
        QVERIFY(chosen.isEmpty()); // still the one in use
        const CalibrateData stored = m_store->calibrations().value(0);
        QCOMPARE(stored.scaleCurrentLength, QStringLiteral("0.5mm"));
        QCOMPARE(stored.scaleLineWidth, 3);
    }

    // Identical records change nothing; a different one of a stored name is overwritten on
    // yes and added as "name(N)" on no.
    void importConflicts()
    {
        const QString file = path("two.cal");
        CalibrationMessage outcome;
        QVERIFY(CalibrationStore::exportFile(file, {record("a", 200), record("b", 100)}, outcome));
        QVERIFY(m_store->append(record("a", 200)));
        QVERIFY(m_store->append(record("b", 50)));
        QVERIFY(m_store->append(record("b(1)", 50)));
        QStringList asked;
        QList<CalibrationMessage> messages;
        const auto answer = [&](bool yes) {
            return [&asked, yes](const CalibrationMessage &question) {
                asked << question.text;
                return yes;
            };
        };
        QVERIFY(m_store->importFile(file, answer(false), messages));
        QCOMPARE(asked, QStringList{"The calibration data 'b' already exists but has different properties. Do you "
                                    "want to overwrite it?"});
        QCOMPARE(messages.last().text, "Calibration data has been successfully processed.");
        QCOMPARE(names(m_store->calibrations()), QStringList({"a", "b", "b(1)", "b(2)"}));
        QCOMPARE(m_store->calibrations().at(3).pixel, 100.0);

        QVERIFY(m_store->importFile(file, answer(true), messages));
        QCOMPARE(names(m_store->calibrations()), QStringList({"a", "b", "b(1)", "b(2)"}));
        QCOMPARE(m_store->calibrations().at(1).pixel, 100.0);
    }

    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // empty: only the failure message
        const QByteArray good = CalibrationFile::encode({record("a", 200), record("b", 100)});
        const QByteArray header = int32(1) + int32(1) + int32(1);
        QTest::newRow("empty file") << QByteArray() << "The file is too short to be a calibration file.";
        QTest::newRow("no records") << int32(1) + int32(0) + int32(1) << "";
        QTest::newRow("version 2") << int32(2) + good.mid(4) << "Version check failed";
        QTest::newRow("data type 0") << good.left(8) + int32(0) + good.mid(12) << "DataType check failed";
        QTest::newRow("2^31-1 records") << int32(1) + int32(0x7fffffff) + int32(1) + good.mid(12)
                                        << "The calibration file claims 2147483647 records, more than it holds.";
        QTest::newRow("negative count") << int32(1) + int32(-1) + int32(1) + good.mid(12)
                                        << "The calibration file claims -1 records, more than it holds.";
        QTest::newRow("name of 2^31-1 bytes") << header + int32(0x7fffffff) + QByteArray(100, 'x')
                                              << "The calibration file is damaged: record 1 has no sound name.";
        QTest::newRow("name of -4 bytes") << header + int32(-4) + QByteArray(100, 'x')
                                          << "The calibration file is damaged: record 1 has no sound name.";
        QTest::newRow("empty name") << header + int32(0) + QByteArray(100, '\0')
                                    << "The calibration file is damaged: record 1 has no sound name.";
        QTest::newRow("truncated") << good.chopped(1)
                                   << "The calibration file is damaged: record 2 has no sound scale length.";
        QTest::newRow("trailing byte") << good + 'x' << "The calibration file has 1 bytes after its last record.";
        QByteArray nan = good;
        const int realAt = 12 + 4 + 1 + 4 + 3 + 8 + 4 + 2; // name "a", "40X", length, "mm"
        nan.replace(realAt, 8, QByteArray::fromHex("000000000000f87f"));
        QTest::newRow("real not a number")
            << nan << "The calibration file is damaged: record 1 has no sound micrometres per pixel.";
        QByteArray wide = good;
        wide.replace(realAt + 8 + 8 + 4 + 9 + 4, 4, int32(1 << 30));
        QTest::newRow("line width 2^30") << wide
                                         << "The calibration file is damaged: record 1 has no sound scale line width.";
    }

    // A refused file stores nothing: the INI file keeps its bytes.
    void hostileFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QVERIFY(m_store->append(record("kept", 200)));
        const QByteArray before = fileBytes(m_config->calibrationIniPath());
        writeFile(path("hostile.cal"), bytes);
        QList<CalibrationMessage> messages;
        bool asked = false;
        QVERIFY(!m_store->importFile(
            path("hostile.cal"), [&](const CalibrationMessage &) { return asked = true; }, messages));
        QVERIFY(!asked);
        QCOMPARE(messages.last().text, "Failed to import calibration data or the data is empty.");
        QCOMPARE(messages.size() > 1 ? messages.first().text : QString(), reason);
        QCOMPARE(fileBytes(m_config->calibrationIniPath()), before);
    }

    // Every cut of a sound file is refused, none read past the end.
    void everyTruncationRefused()
    {
        const QByteArray good = CalibrationFile::encode({record("a", 200), record(QString::fromUtf8("µ"), 100)});
        QList<CalibrateData> records;
        QString error;
        QVERIFY(CalibrationFile::decode(good, records, error));
        QCOMPARE(records.size(), 2);
        QVERIFY(records.at(1).sameExchanged(record(QString::fromUtf8("µ"), 100)));
        for (int size = 0; size < good.size(); ++size) {
            const QByteArray cut(good.constData(), size); // a copy, so that reads past it are caught
            QVERIFY2(!CalibrationFile::decode(cut, records, error), qPrintable(QString::number(size)));
        }
    }
};

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
