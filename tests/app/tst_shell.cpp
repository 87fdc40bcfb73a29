#include "biologyindustrydialog.h"
#include "camerasession.h"
#include "configstore.h"
#include "languagemanager.h"
#include "mainwindow2.h"
#include "modalanswer.h"
#include "startup.h"
#include "theme.h"

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The start-up pieces that show windows: first-run choice, theme, language, help.
class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        QCoreApplication::setApplicationName("lumora");
        Startup::initResources();
    }

    // The industry choice, and closing without a choice, are in the first-run test.
    void biologyChoiceIsStored()
    {
        ConfigStore::instance().write(ConfigGroup::Camera, CameraKey::SceneMode, 1);
        BiologyIndustryDialog dialog;
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>("biology_btn"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(sceneMode(), 0);
    }

    void firstRunDialogComesOnlyOnce()
    {
        const QString marker = m_data.filePath("lumora/.first_run_completed");
        QVERIFY(!QFileInfo::exists(marker));
        auto answering = answerNextModal([](QWidget *dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton *>("industry_btn"), Qt::LeftButton);
        });
        QVERIFY(Startup::runFirstRunChoice(marker));
        QVERIFY(Startup::isFirstRun());
        QVERIFY(QFileInfo::exists(marker));
        QCOMPARE(sceneMode(), 1);

        QVERIFY(!Startup::runFirstRunChoice(marker)); // no dialog: the call would block otherwise

        // Deleting the marker brings the question back.
        QVERIFY(QFile::remove(marker));
        answering = closeNextModal();
        QVERIFY(Startup::runFirstRunChoice(marker));
        QVERIFY(QFileInfo::exists(marker));
        QCOMPARE(sceneMode(), 1);
    }

    void themeSelection_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("textColor");
        QTest::addColumn<QString>("iconPrefix");
        QTest::newRow("black") << 0 << 0 << QString("#FFFFFF") << QString(":/qss/blackIcon/");
        QTest::newRow("white") << 1 << 1 << QString("#000000") << QString(":/qss/whiteIcon/");
        QTest::newRow("unknownFallsBackToBlack") << 7 << 0 << QString("#FFFFFF") << QString(":/qss/blackIcon/");
    }

    void themeSelection()
    {
        QFETCH(int, stored);
        QFETCH(int, index);
        QFETCH(QString, textColor);
        QFETCH(QString, iconPrefix);
        const Theme::Info info = Theme::forIndex(stored);
        QCOMPARE(info.index, index);
        QCOMPARE(info.textColor, textColor);
        QCOMPARE(info.iconPrefix, iconPrefix);
        QVERIFY(QFile::exists(info.styleSheet));
        QVERIFY(QFile::exists(info.iconPrefix + "microscope.svg"));
    }

    void themeChangeWaitsForRestart()
    {
        ConfigStore::instance().write(ConfigGroup::Base, BaseKey::InterfaceStyleProperty, 1);
        Theme::load();
        QCOMPARE(Theme::current().index, 1);
        QVERIFY(qApp->styleSheet().contains("#f4f5f7"));

        QVERIFY(!Theme::change(1)); // same theme: nothing to store or announce
        QVERIFY(Theme::change(0));
        QCOMPARE(ConfigStore::instance().read(ConfigGroup::Base).value(BaseKey::InterfaceStyleProperty).toInt(), 0);
        QVERIFY(qApp->styleSheet().contains("#f4f5f7")); // the running style stays
    }

    void languageSwitchesTranslators()
    {
        LanguageManager &languages = LanguageManager::instance();
        const auto help = [] { return QCoreApplication::translate("MainWindow2", "Help"); };
        const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
        // The first close warning the installed language leaves in English.
        const auto untranslatedCloseWarning = [] {
            for (int reason = OpenFailed; reason <= UsbSpeedTooLow; ++reason) {
                const QString text = CameraSession::closeMessage(CameraCloseReason(reason));
                if (!text.isEmpty() && QCoreApplication::translate("CameraSession", text.toUtf8().constData()) == text)
                    return text;
            }
            return QString();
        };

        languages.change(SimplifiedChinese);
        QCOMPARE(untranslatedCloseWarning(), QString());
        QCOMPARE(help(), QString::fromUtf8("帮助"));
        QVERIFY(cancel() != "Cancel");
        QCOMPARE(LanguageManager::stored(), SimplifiedChinese);

        languages.change(TraditionalChinese);
        QCOMPARE(untranslatedCloseWarning(), QString());
        QCOMPARE(help(), QString::fromUtf8("說明"));
        languages.change(TraditionalChinese); // again: the same files, the same result
        QCOMPARE(help(), QString::fromUtf8("說明"));

        languages.change(English);
        QCOMPARE(help(), QString("Help"));
        QCOMPARE(cancel(), QString("Cancel"));
        QCOMPARE(ConfigStore::instance().value(DrawProperty::Language).toInt(), 0);
    }

    void windowRetranslatesItsMenus()
    {
        MainWindow2 window;
        window.show();
        const auto titles = [&window] {
            QStringList result;
            for (QAction *action : window.titleMenuBar()->actions())
                result << action->text();
            return result;
        };
        QCOMPARE(titles(),
                 QStringList({"Language", "Microscope", "Style Settings", "Shortcut Settings", "Page Edit", "Help"}));

        LanguageManager::instance().change(SimplifiedChinese);
        QTRY_COMPARE(titles(), QStringList({QString::fromUtf8("语言"), QString::fromUtf8("显微镜"),
                                            QString::fromUtf8("风格设置"), QString::fromUtf8("快捷键设置"),
                                            QString::fromUtf8("页面编辑"), QString::fromUtf8("帮助")}));
        LanguageManager::instance().change(English);
        QTRY_COMPARE(titles().first(), QString("Language"));
    }

    void helpDocumentFollowsLanguage()
    {
        const QString dir = QCoreApplication::applicationDirPath();
        QCOMPARE(Startup::helpDocumentPath(English), dir + "/help/en.pdf");
        QCOMPARE(Startup::helpDocumentPath(SimplifiedChinese), dir + "/help/zh.pdf");
        QCOMPARE(Startup::helpDocumentPath(TraditionalChinese), dir + "/help/en.pdf");
    }

private:
    int sceneMode()
    {
        return ConfigStore::instance().read(ConfigGroup::Camera).value(CameraKey::SceneMode, -1).toInt();
    }

    QTemporaryDir m_data;
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
