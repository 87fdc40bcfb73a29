// The configuration-scheme box of the camera panel, with its dialogs answered by the test.
#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "configstore.h"
#include "schemecontrol.h"

namespace {

const QString kModel = QStringLiteral("cm26");

} // namespace

class TestSchemeControl : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(store().configurationSchemePath());
        store().writeCurConfigurationName(QString());
        m_messages.clear();
        m_questions.clear();
        m_control = std::make_unique<SchemeControl>();
        m_control->currentValues = [] { return QVariantMap{{"Hue", 7}, {"FlipHor", true}}; };
        m_control->askYesNo = [this](const QString &title, const QString &text) {
            m_questions << title + ": " + text;
            return m_yes;
        };
        m_control->showMessage = [this](QMessageBox::Icon, const QString &title, const QString &text) {
            m_messages << title + ": " + text;
        };
        m_control->show();
    }

    void add_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("stored"); // "Day" with Hue 1 before
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QVariantMap>("day");

        const QString overwrite = "Question: The scheme already exists, do you want to overwrite it?";
        const QVariantMap current{{"Hue", 7.0}, {"FlipHor", 1.0}};
        QTest::newRow("emptyName") << "  " << false << true << QStringList{}
                                   << "Warning: Enter the name of the configuration scheme!" << QVariantMap{};
        QTest::newRow("appended") << "Day" << false << true << QStringList{} << "Info: Add successful!" << current;
        QTest::newRow("overwritten") << "Day" << true << true << QStringList{overwrite} << "Info: Add successful!"
                                     << current;
        QTest::newRow("keptOnNo") << "Day" << true << false << QStringList{overwrite} << ""
                                  << QVariantMap{{"Hue", 1.0}};
    }

    void add()
    {
        QFETCH(QString, name);
        QFETCH(bool, stored);
        QFETCH(bool, yes);
        QFETCH(QStringList, questions);
        QFETCH(QString, message);
        QFETCH(QVariantMap, day);
        if (stored)
            QVERIFY(store().saveConfigurationScheme(kModel, "Day", QVariantMap{{"Hue", 1}}));
        m_control->setCameraKey(kModel);
        m_yes = yes;
        m_control->askName = [name](QString &answer) {
            answer = name;
            return true;
        };
        button("scheme_add_button")->click();
        QCOMPARE(m_questions, questions);
        QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(store().readConfigurationSchemes(kModel).value("Day"), day);
        // Once in the combo, after the factory settings.
        QCOMPARE(combo()->count(), day.isEmpty() ? 1 : 2);
        QCOMPARE(combo()->itemData(0).toInt(), -1);
    }

    // The last chosen scheme is selected, not applied; only the operator's choice applies one.
    void selectingAScheme()
    {
        QVERIFY(store().saveConfigurationScheme(kModel, "Day", QVariantMap{{"Hue", 5}}));
        QVERIFY(store().saveConfigurationScheme(kModel, "Night", QVariantMap{{"Hue", 9}}));
        store().writeCurConfigurationName("Night");
        QSignalSpy chosen(m_control.get(), &SchemeControl::schemeSelected);
        QSignalSpy factory(m_control.get(), &SchemeControl::factorySettingsSelected);
        QPushButton *save = button("scheme_save_button");
        QVERIFY(!save->isEnabled() && !combo()->isEnabled()); // no camera
        m_control->setCameraKey(kModel);
        QCOMPARE(combo()->currentText(), QString("Night"));
        QVERIFY(save->isEnabled());
        QCOMPARE(chosen.count(), 0);

        QTest::keyClick(combo(), Qt::Key_Home);
        QCOMPARE(factory.count(), 1);
        QVERIFY(!save->isEnabled());
        QCOMPARE(store().readCurConfigurationName(), QString());
        QTest::keyClick(combo(), Qt::Key_Down);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.first().first().toMap(), (QVariantMap{{"Hue", 5.0}}));
        QVERIFY(save->isEnabled());
        QCOMPARE(store().readCurConfigurationName(), QString("Day"));

        m_control->setCameraKey(QString());
        QVERIFY(!save->isEnabled() && !combo()->isEnabled());
    }

    // What is not a number is left out of the imported scheme; the rest is stored and listed.
    void importSkipsWhatIsNoNumber()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("in.json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QJsonDocument(
                QJsonObject{{"AllCamear",
                             QJsonObject{{kModel, QJsonObject{{"Lab", QJsonObject{{"Hue", 3}, {"Sharpness", "x"}}}}}}}})
                .toJson());
        file.close();
        m_control->setCameraKey(kModel);
        m_control->openFileName = [path](const QString &, const QString &) { return path; };
        QSignalSpy imported(m_control.get(), &SchemeControl::signalConfigurationsImported);
        QTest::ignoreMessage(QtWarningMsg, "Value for key Sharpness is not a real number and will be ignored.");
        button("scheme_import_button")->click();
        QCOMPARE(imported.count(), 1);
        QCOMPARE(m_messages, QStringList());
        QCOMPARE(combo()->itemText(1), QString("Lab"));
        QCOMPARE(store().readConfigurationScheme(kModel, "Lab"), (QVariantMap{{"Hue", 3.0}}));
    }

private:
    static ConfigStore &store() { return ConfigStore::instance(); }
    QComboBox *combo() const { return m_control->findChild<QComboBox *>("scheme_combo"); }
    QPushButton *button(const char *name) const { return m_control->findChild<QPushButton *>(name); }

    std::unique_ptr<SchemeControl> m_control;
    bool m_yes = true;
    QStringList m_questions;
    QStringList m_messages;
};

QTEST_MAIN(TestSchemeControl)
#include "tst_schemecontrol.moc"
