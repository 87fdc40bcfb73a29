// The main window's tabs, memory check, shortcut keys and mouse wheel, in a real window.
#include "../tiffpicture.h"
#include "../videoprobe.h"
#include "../virtualdevices.h"
#include "acquirepage.h"
#include "base.h"
#include "calibrationwidget.h"
#include "basecamera.h"
#include "cameraplaythread.h"
#include "camerasession.h"
#include "camsettings.h"
#include "configkeys.h"
#include "configstore.h"
#include "contrastview.h"
#include "frameconversion.h"
#include "framelesshelper.h"
#include "graphicsitems.h"
#include "graphicsview.h"
#include "mainscene.h"
#include "mainwindow2.h"
#include "measurewidget.h"
#include "modalanswer.h"
#include "openglvideowidget.h"
#include "pageeditordialog.h"
#include "recordcapture.h"
#include "shortcutsettingsdialog.h"
#include "unsavedfilesdialog.h"
#include "videorecorder.h"
#include "videowidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <atomic>

namespace {

QByteArray meminfo(int usedPercent)
{
    return QStringLiteral("MemTotal: 1000 kB\nMemFree: 10 kB\nMemAvailable: %1 kB\n")
        .arg(1000 - 10 * usedPercent)
        .toLatin1();
}

// The frame a video window drew last; null while it has drawn none.
QImage shown(VideoWidget *view)
{
    QSignalSpy frames(view, &VideoWidget::sendWatermarkFrame);
    emit view->getWatermarkFrame();
    if (frames.isEmpty() && !frames.wait(200))
        return QImage();
    return videoFrameToQImage(frames.first().first().value<VideoFrame>());
}

} // namespace

namespace {
std::atomic<int> g_focusOnceLines{0};
void countFocusOnce(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (text == QLatin1String("onSetFocusOnce"))
        ++g_focusOnceLines;
}
} // namespace

namespace {
std::atomic<int> g_capThreadLines{0};
std::atomic<int> g_reasonLines{0};
const char *g_reason = "";
void countOpenFailures(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_capThreadLines += text.contains(QLatin1String("can't create cap thread"));
    g_reasonLines += text.startsWith(QLatin1String(g_reason));
}
// A camera with a focus motor; the window opens a single camera by itself.
QJsonObject focusCamera()
{
    return {{"name", "usb#vid_2bdf&pid_0222#0001#video"},
            {"pid", "0222"},
            {"capabilities", QJsonArray{virtualCapability(640, 480)}}};
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // No camera: the window's session stays closed.
        QVERIFY(writeDevices({}));
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(m_dir.filePath("devices.json")));
        qputenv("LSDK_DISCOVERY_TARGETS", "127.0.0.1:9");
        QImage picture(64, 48, QImage::Format_RGB888);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(m_dir.filePath("slide.png")));
    }

    void init()
    {
        m_window = std::make_unique<MainWindow2>();
        m_window->setMeminfoReader([] { return meminfo(40); });
        m_window->show();
    }

    void cleanup() { m_window.reset(); }

    void liveTabNeverCloses()
    {
        QTabWidget *tabs = m_window->tabs();
        QCOMPARE(tabs->count(), 1);
        QVERIFY(!tabs->tabBar()->tabButton(0, QTabBar::RightSide));
        QVERIFY(!m_window->on_video_tabWidget_tabCloseRequested(0));
        QCOMPARE(openTestPicture("a.png"), 1);
        QCOMPARE(openTestPicture("b.png"), 2);
        QVERIFY(tabs->tabBar()->tabButton(1, QTabBar::RightSide));
        tabs->setCurrentIndex(0);
        m_window->onCloseCurrentTab();
        m_window->onCloseAllTabs();
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->widget(0)->property("OpenVideoWidgetType").toInt(), 0);
        // Tabs without a name are numbered.
        QCOMPARE(m_window->addImageTab(new VideoWidget), 1);
        QCOMPARE(tabs->tabText(1), QStringLiteral("Tab1"));
    }

    void unsavedPictureTabs_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("closed");
        QTest::newRow("cancel keeps it") << int(MainWindow2::UnsavedChoice::Cancel) << true << false;
        QTest::newRow("save fails, kept") << int(MainWindow2::UnsavedChoice::Save) << false << false;
        QTest::newRow("saved, closed") << int(MainWindow2::UnsavedChoice::Save) << true << true;
        QTest::newRow("don't save, closed") << int(MainWindow2::UnsavedChoice::DontSave) << false << true;
    }

    void unsavedPictureTabs()
    {
        QFETCH(int, choice);
        QFETCH(bool, writable);
        QFETCH(bool, closed);
        const int index = openTestPicture("unsaved.png");
        QCOMPARE(index, 1);
        QWidget *tab = m_window->tabs()->widget(index);
        MainWindow2::setUnsaved(tab, true);
        const QString target = writable ? m_dir.filePath("saved.png") : m_dir.filePath("missing/folder/saved.png");
        tab->setProperty("filePath", target);
        QStringList asked;
        m_window->setUnsavedQuestion([&](const QStringList &names) {
            asked = names;
            return MainWindow2::UnsavedChoice(choice);
        });
        QPointer<QWidget> watched(tab);
        QCOMPARE(m_window->on_video_tabWidget_tabCloseRequested(index), closed);
        if (!writable && choice == int(MainWindow2::UnsavedChoice::Save)) {
            // The failure is shown, and once only while it is on screen, however often it happens.
            QVERIFY(!m_window->on_video_tabWidget_tabCloseRequested(index));
            const auto failures = m_window->findChildren<QMessageBox *>();
            QCOMPARE(failures.size(), 1);
            QVERIFY(failures.first()->isVisible());
        }
        QCOMPARE(asked, QStringList{"unsaved.png"});
        QCOMPARE(m_window->tabs()->count(), closed ? 1 : 2);
        if (choice == int(MainWindow2::UnsavedChoice::Save) && writable)
            QVERIFY(QFile::exists(target));
        if (closed)
            QTRY_VERIFY(watched.isNull());
        // A saved picture is not asked about again.
        QFile::remove(m_dir.filePath("saved.png"));
    }

    void severalUnsavedPicturesAreListed()
    {
        for (const char *name : {"one.png", "two.png", "three.png"})
            openTestPicture(name);
        QTabWidget *tabs = m_window->tabs();
        MainWindow2::setUnsaved(tabs->widget(1), true);
        MainWindow2::setUnsaved(tabs->widget(3), true);
        tabs->widget(1)->setProperty("filePath", m_dir.filePath("one-saved.png"));
        tabs->widget(3)->setProperty("filePath", m_dir.filePath("three-saved.png"));
        // The dialog lists the two unsaved pictures; "three" is unticked, then Save.
        QStringList listed;
        const auto answering = answerNextModal<UnsavedFilesDialog>([&listed](UnsavedFilesDialog *dialog) {
            auto *list = dialog->findChild<QListWidget *>();
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
            dialog->setTicked(0, false); // tabs are listed from the last
            for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
                if (button->text() == QLatin1String("Save"))
                    button->click();
            }
        });
        m_window->onCloseAllTabs();
        QCOMPARE(listed, (QStringList{"three.png", "one.png"}));
        QCOMPARE(tabs->count(), 1);
        QVERIFY(QFile::exists(m_dir.filePath("one-saved.png")));
        QVERIFY(!QFile::exists(m_dir.filePath("three-saved.png")));
    }

    void memoryRefusesNewTabs_data()
    {
        QTest::addColumn<int>("load");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("90 percent") << 90 << true;
        QTest::newRow("91 percent") << 91 << false;
        QTest::newRow("unreadable") << -1 << false;
    }

    void memoryRefusesNewTabs()
    {
        QFETCH(int, load);
        QFETCH(bool, accepted);
        m_window->setMeminfoReader([load] { return load < 0 ? QByteArray("nonsense") : meminfo(load); });
        QPointer<VideoWidget> tab(new VideoWidget);
        const int index = m_window->addImageTab(tab, QStringLiteral("photo"));
        QCOMPARE(index >= 0, accepted);
        QCOMPARE(m_window->tabs()->count(), accepted ? 2 : 1);
        QCOMPARE(tab.isNull(), !accepted); // a refused widget is not left behind
        if (!accepted) {
            QMessageBox *box = nullptr;
            QTRY_VERIFY((box = m_window->findChild<QMessageBox *>()) != nullptr);
            QCOMPARE(box->text(), QStringLiteral("Insufficient memory, please close some windows."));
        }
    }

    void repeatedKeys_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("repeated");
        QTest::newRow("defaults") << QStringList{"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9"} << -1;
        QTest::newRow("twice F2") << QStringList{"F1", "F2", "F3", "F2"} << 3;
        QTest::newRow("same key written differently") << QStringList{"Ctrl+S", "ctrl+s"} << 1;
        QTest::newRow("empty keys never clash") << QStringList{"", "F1", ""} << -1;
    }

    void repeatedKeys()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, repeated);
        QCOMPARE(ShortcutSettingsDialog::firstRepeatedKey(keys), repeated);
    }

    void shortcutDialogRefusesRepeatedKeys()
    {
        const QStringList before = m_window->commands()->storedKeys();
        ShortcutSettingsDialog dialog(*m_window->commands(), m_window.get());
        QSignalSpy changed(&dialog, &ShortcutSettingsDialog::shortcutsChanged);
        connect(&dialog, &ShortcutSettingsDialog::shortcutsChanged, m_window->commands(), &CommandRegistry::setKeys);
        QStringList keys = before;
        keys[1] = keys[0];
        dialog.setShortcuts(keys);
        const auto closing = closeNextModal(); // "Hotkey settings repeat."
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_window->commands()->storedKeys(), before);

        keys[1] = QStringLiteral("Ctrl+F2");
        dialog.setShortcuts(keys);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_window->commands()->storedKeys(), keys);
        QCOMPARE(m_window->shortcutKeys(), keys);
    }

    void wheelFollowsItsFunction_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<bool>("liveTab");
        QTest::addColumn<int>("focusSteps");
        QTest::addColumn<int>("zoomSteps");
        QTest::newRow("focus on the live view") << int(AdjustFocus) << true << 1 << 0;
        QTest::newRow("focus over a picture") << int(AdjustFocus) << false << 0 << 0;
        QTest::newRow("camera zoom") << int(AdjustZoom) << true << 0 << 1;
        QTest::newRow("window zoom") << int(ZoomVideoWindow) << true << 0 << 0;
    }

    void wheelFollowsItsFunction()
    {
        QFETCH(int, function);
        QFETCH(bool, liveTab);
        QFETCH(int, focusSteps);
        QFETCH(int, zoomSteps);
        if (!liveTab)
            openTestPicture("wheel.png");
        m_window->onChangeMouseWheelFunc(KeyFunction(function));
        QSignalSpy focus(m_window.get(), &MainWindow2::increaseOrDecreaseFoucs);
        QSignalSpy zoom(m_window.get(), &MainWindow2::increaseOrDecreaseZoom);
        m_window->wheelChanged(true);
        QCOMPARE(focus.count(), focusSteps);
        QCOMPARE(zoom.count(), zoomSteps);
    }

    void zoomButtonsStepAndTheBoxFollows()
    {
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(openTestPicture("zoom.png"), 1);
        auto *view = qobject_cast<VideoWidget *>(m_window->tabs()->currentWidget());
        QVERIFY(view);
        auto *box = m_window->findChild<QComboBox *>(QStringLiteral("zoom_comboBox"));
        QVERIFY(box);
        const auto shown = [view] { return view->property("shownScale").toDouble(); };
        // The picture first fits the window; the box names the fit.
        QTRY_COMPARE(box->currentText(), QStringLiteral("Fit to Window"));
        const int hundred = box->findData(100);
        box->setCurrentIndex(hundred);
        emit box->activated(hundred);
        QCOMPARE(shown(), 100.0);
        m_window->on_zoomAdd_btn_clicked();
        QCOMPARE(shown(), 150.0);
        QCOMPARE(box->currentText(), QStringLiteral("150%"));
        m_window->on_zoomSub_btn_clicked();
        m_window->on_zoomSub_btn_clicked();
        QCOMPARE(shown(), 75.0);
        QCOMPARE(box->currentText(), QStringLiteral("75%"));
        // The steps end at 10 and 400 percent.
        for (int i = 0; i < 12; ++i)
            m_window->on_zoomSub_btn_clicked();
        QCOMPARE(shown(), 10.0);
    }

    void pageEditorArrangesTheWindow()
    {
        auto *splitter = m_window->findChild<QSplitter *>(QStringLiteral("splitter"));
        QVERIFY(splitter);
        QWidget *pages = m_window->camSettings()->parentWidget();
        auto *navigation = m_window->findChild<QWidget *>(QStringLiteral("navigationBar"));
        QVERIFY(navigation);
        auto *device = m_window->findChild<QToolButton *>(QStringLiteral("device_tBtn"));
        auto *report = m_window->findChild<QToolButton *>(QStringLiteral("report_tBtn"));
        const auto navigationBelow = [&] {
            const QRect bar(navigation->mapTo(m_window.get(), QPoint()), navigation->size());
            const QRect split(splitter->mapTo(m_window.get(), QPoint()), splitter->size());
            return bar.top() >= split.bottom();
        };
        QCOMPARE(splitter->indexOf(pages), 1);
        QVERIFY(!navigationBelow());
        for (const bool on : {true, false}) {
            PageEditorDialog dialog(m_window.get());
            connect(&dialog, &PageEditorDialog::displayOptionsChanged, m_window.get(),
                    &MainWindow2::applyDisplayOptions);
            QCheckBox *swap = dialog.option(DisplayOptionsKey::EnableSwapMainInterfaceControls);
            QCheckBox *bottom = dialog.option(DisplayOptionsKey::EnableLabelPagePos);
            QVERIFY(swap && bottom);
            QCOMPARE(swap->isChecked(), !on); // as stored by the round before
            swap->setChecked(on);
            bottom->setChecked(on);
            dialog.accept();
            ConfigStore &store = ConfigStore::instance();
            QCOMPARE(
                store.value(ConfigGroup::DisplayOptions, DisplayOptionsKey::EnableSwapMainInterfaceControls).toBool(),
                on);
            QCOMPARE(store.value(ConfigGroup::DisplayOptions, DisplayOptionsKey::EnableLabelPagePos).toBool(), on);
            QCOMPARE(splitter->indexOf(pages), on ? 3 : 1);
            // Below everything the buttons run in a row, in the column they stack; they still work.
            QTRY_COMPARE(navigationBelow(), on);
            QVERIFY(navigation->isVisible());
            if (on)
                QCOMPARE(device->geometry().top(), report->geometry().top());
            else
                QVERIFY(report->geometry().top() > device->geometry().top());
            report->click();
            QCOMPARE(qobject_cast<QStackedWidget *>(pages)->currentIndex(), 4);
            device->click();
            QCOMPARE(qobject_cast<QStackedWidget *>(pages)->currentIndex(), 0);
        }
    }

    void sidePanelsHideAndComeBack()
    {
        auto *splitter = m_window->findChild<QSplitter *>(QStringLiteral("splitter"));
        m_window->resize(1400, 800);
        QTRY_VERIFY(splitter->sizes()[1] > 0 && splitter->sizes()[3] > 0);
        const QList<int> before = splitter->sizes();
        for (const auto &[column, slot] : {std::pair{1, &MainWindow2::on_leftHide_btn_clicked},
                                           std::pair{3, &MainWindow2::on_rightHide_btn_clicked}}) {
            (m_window.get()->*slot)();
            QCOMPARE(splitter->sizes()[column], 0);
            // The picture takes the room and gives it back.
            QVERIFY(splitter->sizes()[2] > before[2]);
            (m_window.get()->*slot)();
            QCOMPARE(splitter->sizes()[column], before[column]);
        }
    }

    void pictureCommandsFollowTheTabInFront()
    {
        QTabWidget *tabs = m_window->tabs();
        auto *save = m_window->findChild<QPushButton *>(QStringLiteral("savePic_btn"));
        auto *quickSave = m_window->findChild<QPushButton *>(QStringLiteral("quickSave_btn"));
        QVERIFY(save && quickSave);
        QVERIFY(!save->isEnabled() && !quickSave->isEnabled());
        QCOMPARE(openTestPicture("copy.png"), 1);
        QVERIFY(save->isEnabled() && quickSave->isEnabled());

        // Image Copy puts the picture in front on the clipboard.
        QGuiApplication::clipboard()->clear();
        m_window->runShortcutCommand(ImageCopyCommand);
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(64, 48));
        QCOMPARE(copied.pixelColor(10, 10), QColor(Qt::darkCyan));

        // Real-time Preview brings the live view to the front, which has nothing to save.
        m_window->runShortcutCommand(RealTimePreviewCommand);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!save->isEnabled() && !quickSave->isEnabled());

        // Without a camera the live view has nothing to copy.
        QGuiApplication::clipboard()->clear();
        m_window->runShortcutCommand(ImageCopyCommand);
        QTest::qWait(200);
        QVERIFY(QGuiApplication::clipboard()->image().isNull());

        // A command that does not exist yet says so instead of doing nothing.
        m_window->runShortcutCommand(TimeLapseCommand);
        QVERIFY(m_window->statusBar()->currentMessage().contains(QStringLiteral("Time Lapse")));
    }

    void commandsReachTheCamera()
    {
        // One camera with a focus motor: the window opens it by itself.
        QVERIFY(writeDevices({focusCamera()}));
        const auto restore = qScopeGuard([&] {
            m_window.reset();
            writeDevices({});
        });
        m_window = std::make_unique<MainWindow2>();
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session()->isOpen(), 5000);
        std::shared_ptr<BaseCamera> camera = m_window->session()->camera();
        CameraPlayThread *thread = m_window->session()->playThread().get();
        QVERIFY(camera && thread);

        // The wheel in focus mode steps the camera's focus on its own thread.
        int focusValues = 0;
        connect(camera.get(), &BaseCamera::sendFocusValue, this, [&] { ++focusValues; });
        m_window->onChangeMouseWheelFunc(AdjustFocus);
        m_window->wheelChanged(true);
        m_window->wheelChanged(false);
        QTRY_COMPARE(focusValues, 2);
        // In zoom mode it steps the camera's zoom, in and out.
        QList<int> zooms;
        connect(camera.get(), &BaseCamera::sendZoomValue, this, [&](int zoom) { zooms << zoom; });
        m_window->onChangeMouseWheelFunc(AdjustZoom);
        m_window->wheelChanged(true);
        QTRY_COMPARE(zooms.size(), 1);
        m_window->wheelChanged(false);
        QTRY_COMPARE(zooms.size(), 2);
        QVERIFY(zooms[0] > zooms[1]);

        g_focusOnceLines = 0;
        const QtMessageHandler previous = qInstallMessageHandler(countFocusOnce);
        m_window->runShortcutCommand(OnceFocusCommand);
        QTRY_COMPARE(g_focusOnceLines.load(), 1);
        qInstallMessageHandler(previous);

        // Image Copy on the live view takes the frame drawn last.
        QTRY_VERIFY(!shown(m_window->liveView()).isNull());
        QGuiApplication::clipboard()->clear();
        m_window->runShortcutCommand(ImageCopyCommand);
        QTRY_COMPARE(QGuiApplication::clipboard()->image().size(), QSize(640, 480));

        // Snap opens the photo in a tab for review.
        ConfigStore::instance().write(DrawProperty::AutoSaveImage, false);
        m_window->runShortcutCommand(SnapCommand);
        QTRY_COMPARE(m_window->tabs()->count(), 2);
        QCOMPARE(m_window->tabs()->widget(1)->property("picture").value<QImage>().size(), QSize(640, 480));
        QVERIFY(ImageTabs::isUnsaved(m_window->tabs()->widget(1)));
        ImageTabs::setUnsaved(m_window->tabs()->widget(1), false);
        m_window->onCloseAllTabs();

        // A contrast view puts the picture in front beside the running camera.
        QCOMPARE(openTestPicture("reference.png"), 1);
        const int contrast = m_window->onShowContrastView();
        QCOMPARE(contrast, 2);
        auto *view = qobject_cast<ContrastView *>(m_window->tabs()->widget(contrast));
        QCOMPARE(view->chooser(ContrastView::Left)->currentText(), QStringLiteral("reference.png"));
        QCOMPARE(view->chooser(ContrastView::Right)->currentText(), m_window->tabs()->tabText(0));
        QTRY_COMPARE(shown(view->pane(ContrastView::Right)).size(), QSize(640, 480));
        QTRY_COMPARE(shown(view->pane(ContrastView::Left)).size(), QSize(64, 48));

        // Pause holds the stream and goes on again; the panel's button shows the state.
        auto *pause = m_window->camSettings()->findChild<QPushButton *>(QStringLiteral("pause_btn"));
        QVERIFY(pause && pause->isEnabled());
        m_window->runShortcutCommand(PauseCommand);
        QVERIFY(thread->isPaused());
        QVERIFY(pause->isChecked());
        m_window->runShortcutCommand(PauseCommand);
        QVERIFY(!thread->isPaused());
        pause->click();
        QVERIFY(thread->isPaused());

        // One camera at a time: asked to open a second one, the panel refuses.
        QVERIFY(
            writeDevices({focusCamera(), QJsonObject{{"name", "usb#vid_2bdf&pid_0201#0002#video"}, {"pid", "0201"}}}));
        auto *selector = m_window->camSettings()->findChild<QComboBox *>(QStringLiteral("camera_comboBox"));
        QTRY_COMPARE_WITH_TIMEOUT(selector->count(), 2, 5000);
        selector->setCurrentIndex(selector->findData(QStringLiteral("usb#vid_2bdf&pid_0201#0002#video")));
        QString notice;
        {
            const auto answer = answerNextModal<QMessageBox>([&notice](QMessageBox *box) {
                notice = box->windowTitle() + QLatin1Char('/') + box->text();
                box->close();
            });
            m_window->camSettings()->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
        }
        QCOMPARE(notice, QStringLiteral("Notice/The number of cameras is greater than 1"));
        QCOMPARE(m_window->session()->cameraName(), QStringLiteral("usb#vid_2bdf&pid_0222#0001#video"));

        // Closing ends the pause with the session.
        camera.reset();
        m_window->camSettings()->closeCameraForReason(QStringLiteral("usb#vid_2bdf&pid_0222#0001#video"), UserClosed);
        QVERIFY(!m_window->session()->isOpen());
        QVERIFY(!pause->isChecked() && !pause->isEnabled());
        QVERIFY(!m_window->camSettings()->isPaused());
    }

    // Saved at once: named by the code the slide label shows, then by the next free index with
    // the drawn graphics merged in, then a burst of three, the first one interval after the start.
    void photosAreSavedByTheirNames()
    {
        QVERIFY(writeDevices({QJsonObject{{"name", "usb#vid_2bdf&pid_0222#0001#video"},
                                          {"pid", "0222"},
                                          {"specimen", "label"},
                                          {"capabilities", QJsonArray{virtualCapability(1280, 960)}}}}));
        QTemporaryDir folder;
        ConfigStore &store = ConfigStore::instance();
        const auto restore = qScopeGuard([&] {
            m_window.reset();
            writeDevices({});
            store.write(DrawProperty::AutoSaveImage, false);
            store.write(DrawProperty::SaveType, 1);
        });
        store.write(ConfigGroup::Base, BaseKey::SaveImgPath, folder.path());
        store.write(DrawProperty::AutoSaveImage, true);
        store.write(DrawProperty::PrefixData, QStringLiteral("slide_"));
        store.write(DrawProperty::PhotoFormat, QStringLiteral("png"));
        store.write(DrawProperty::SaveType, 2); // the code read in the picture
        m_window = std::make_unique<MainWindow2>();
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session()->isOpen(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!shown(m_window->liveView()).isNull(), 10000);
        AcquirePage *page = m_window->findChild<AcquirePage *>();
        QSignalSpy ready(page->capture(), &PhotoCapture::photoReady);
        m_window->runShortcutCommand(SnapCommand);
        QVERIFY(ready.wait(20000));
        const QStringList named = QDir(folder.path()).entryList(QDir::Files);
        QCOMPARE(named, QStringList{"slide_LUMORA_SLIDE_0001.png"}); // the QR code's text
        QCOMPARE(QImage(folder.filePath(named.first())).size(), QSize(1280, 960));

        // Merged: what is drawn over the live picture is in the photo, at the photo's scale.
        store.write(DrawProperty::SaveType, 1); // the next free index
        store.write(ConfigGroup::Snap, SnapKey::MergeImage, true);
        QGraphicsScene *scene = m_window->liveView()->graphicsView()->scene();
        const QRectF area = scene->sceneRect();
        auto *mark = scene->addRect(area.x() + area.width() / 10, area.y() + area.height() / 10, area.width() / 10,
                                    area.height() / 10, Qt::NoPen, Qt::red);
        m_window->runShortcutCommand(SnapCommand);
        QVERIFY(ready.wait(20000));
        scene->removeItem(mark);
        delete mark;
        store.write(ConfigGroup::Snap, SnapKey::MergeImage, false);
        const QImage merged(folder.filePath("slide_0001.png"));
        QCOMPARE(merged.pixelColor(128 + 64, 96 + 48), QColor(Qt::red));
        QVERIFY(merged.pixelColor(64, 48) != QColor(Qt::red));

        store.write(ConfigGroup::BurstMode, BurstModeKey::Number, 3);
        store.write(ConfigGroup::BurstMode, BurstModeKey::Interval, 1);
        page->capture()->setSecondMs(50);
        QSignalSpy finished(page->capture(), &PhotoCapture::burstFinished);
        auto *burst = page->findChild<QPushButton *>(QStringLiteral("cPhotos_btn"));
        burst->click();
        QVERIFY(finished.wait(20000));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 5, 20000);
        QVERIFY(!burst->isChecked());
        const QStringList indexed = QDir(folder.path()).entryList({"slide_0*.png"}, QDir::Files);
        QCOMPARE(indexed, (QStringList{"slide_0001.png", "slide_0002.png", "slide_0003.png", "slide_0004.png"}));
    }

    void recordingWritesAPlayableVideo()
    {
        QVERIFY(writeDevices({QJsonObject{{"name", "usb#vid_2bdf&pid_0222#0001#video"},
                                          {"pid", "0222"},
                                          {"capabilities", QJsonArray{virtualCapability(640, 480)}}}}));
        QTemporaryDir folder;
        ConfigStore &store = ConfigStore::instance();
        const auto restore = qScopeGuard([&] {
            m_window.reset();
            writeDevices({});
            store.write(ConfigGroup::Record, RecordKey::EnableTiming, false);
        });
        store.write(ConfigGroup::Record, RecordKey::SavePath, folder.path());
        store.write(ConfigGroup::Record, RecordKey::PrefixDataVideo, QStringLiteral("clip_"));
        store.write(ConfigGroup::Record, RecordKey::SaveTypeVideo, 1);
        store.write(ConfigGroup::Record, RecordKey::EnableTiming, true);
        store.write(ConfigGroup::Record, RecordKey::RemainingTime, 1);
        store.write(ConfigGroup::Record, RecordKey::Duration, 3);
        m_window = std::make_unique<MainWindow2>();
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session()->isOpen(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!shown(m_window->liveView()).isNull(), 10000);
        RecordCapture *recording = m_window->findChild<AcquirePage *>()->recording();
        recording->setSecondMs(500);
        auto *status = m_window->findChild<QLabel *>(QStringLiteral("captureStatus_lab"));
        QSignalSpy saved(recording, &RecordCapture::saved);

        // F2 counts down, records for the set duration, then stops by itself.
        m_window->runShortcutCommand(RecordCommand);
        QCOMPARE(status->text(), QStringLiteral("After 0 hours, 0 minutes and 1 seconds, start recording"));
        QTRY_VERIFY_WITH_TIMEOUT(status->text().contains(QStringLiteral("stop recording")), 10000);
        QVERIFY(m_window->liveView()->isRecording());
        QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 20000);
        const QString path = folder.filePath(QStringLiteral("clip_0001.mp4"));
        QCOMPARE(saved.first().at(0).toString(), path);
        const int written = saved.first().at(1).toInt();
        QVERIFY(!m_window->liveView()->isRecording());
        QVERIFY(!m_window->findChild<QPushButton *>(QStringLiteral("record_btn"))->isChecked());
        const QMap<QString, QString> facts = probe(path);
        QCOMPARE(facts.value("width"), QStringLiteral("640"));
        QCOMPARE(facts.value("height"), QStringLiteral("480"));
        QVERIFY2(written > 0 && facts.value("nb_read_frames").toInt() == written,
                 qPrintable(facts.value("nb_read_frames")));

        // A full disk stops the recording; what was written stays playable.
        store.write(ConfigGroup::Record, RecordKey::EnableTiming, false);
        auto packets = std::make_shared<std::atomic<int>>(0);
        recording->recorder()->setFreeSpaceQuery(
            [packets](const QString &) -> qint64 { return ++*packets > 40 ? 0 : qint64(1) << 40; });
        m_window->runShortcutCommand(RecordCommand);
        QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 2, 30000);
        QCOMPARE(saved.last().at(0).toString(), folder.filePath(QStringLiteral("clip_0002.mp4")));
        QTRY_VERIFY(m_window->findChild<QMessageBox *>() != nullptr);
        bool told = false;
        for (QMessageBox *box : m_window->findChildren<QMessageBox *>())
            told = told || box->text().startsWith(QStringLiteral("Lack of free disk space!"));
        QVERIFY(told);
        QVERIFY(probe(saved.last().at(0).toString()).value("nb_read_frames").toInt() > 0);
    }

    void measuringOnTheMicrometer()
    {
        // A stage micrometer at 0.5 um per pixel: ticks every 10 um from the middle column, each
        // 2 pixels wide (at 639 to 641, 839 to 841, ...).
        QVERIFY(writeDevices(
            {QJsonObject{{"name", "usb#vid_2bdf&pid_0222#0001#video"},
                         {"pid", "0222"},
                         {"specimen", QJsonObject{{"type", "micrometer"}, {"pixel_pitch_um", 0.5}, {"drift", false}}},
                         {"capabilities", QJsonArray{virtualCapability(1280, 720)}}}}));
        const auto restore = qScopeGuard([&] {
            m_window.reset();
            writeDevices({});
            ConfigStore::instance().writeCalibrations(ConfigGroup::Calibrate, {});
        });
        m_window = std::make_unique<MainWindow2>();
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session()->isOpen(), 5000);
        VideoWidget *live = m_window->liveView();
        QTRY_VERIFY_WITH_TIMEOUT(!live->lastFrame().isNull(), 10000);
        live->onSetScalePercent(100);
        GraphicsView *view = live->graphicsView();
        const double y = 720 / 2 - 40; // along the ticks, above the scale's base line
        view->centerOn(740, y);
        auto *scene = qobject_cast<MainScene *>(view->scene());
        QVERIFY(scene);
        m_window->findChild<QToolButton *>(QStringLiteral("mesure_tBtn"))->click();
        auto *panel = m_window->findChild<MeasureWidget *>();
        qRegisterMetaType<Base *>();
        QSignalSpy inserted(scene, &MainScene::itemInsert);
        const auto drawLine = [&](QPointF from, QPointF to) {
            panel->findChild<QPushButton *>(QStringLiteral("drawLine_btn"))->click();
            for (const QPointF &p : {from, to})
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(p));
        };
        // Tick centres 100 um apart: 200 pixels.
        drawLine({640, y}, {840, y});
        QTRY_COMPARE(inserted.count(), 1);
        const Base *plain = inserted.last().first().value<Base *>();
        QVERIFY2(std::abs(plain->label()->entries().first().value - 200) <= 1,
                 qPrintable(QString::number(plain->label()->entries().first().value)));

        // Snapping: clicks 3 px left of the ticks' left edges land on the edges.
        panel->findChild<QPushButton *>(QStringLiteral("edge_btn"))->click();
        drawLine({636, y}, {836, y});
        QTRY_COMPARE(inserted.count(), 2);
        const QVector<QPointF> points = inserted.last().first().value<Base *>()->points();
        qInfo("Line over ticks 100 um apart: %.3f px; snapped edges at %.3f and %.3f",
              plain->label()->entries().first().value, points[0].x(), points[1].x());
        for (int i = 0; i < 2; ++i)
            QVERIFY2(std::abs(points[i].x() - (639 + 200 * i)) < 0.5, qPrintable(QString::number(points[i].x())));

        // Calibrated with a line over 100 um, a line over 50 um reads 50 um.
        {
            const auto answer = answerNextModal<CalibrationWidget>([](CalibrationWidget *dialog) {
                dialog->findChild<QLineEdit *>(QStringLiteral("name_lineEdit"))->setText(QStringLiteral("stage"));
                dialog->findChild<QLineEdit *>(QStringLiteral("length_lineEdit"))->setText(QStringLiteral("100"));
                auto *unit = dialog->findChild<QComboBox *>(QStringLiteral("unit_comboBox"));
                unit->setCurrentIndex(unit->findText(QStringLiteral("um")));
                dialog->accept();
                if (dialog->isVisible()) // refused: the check below tells why
                    dialog->reject();
            });
            panel->findChild<QPushButton *>(QStringLiteral("drawLineCali_btn"))->click();
            for (const QPointF &p : {QPointF(636, y), QPointF(836, y)})
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(p));
            QTRY_COMPARE(scene->drawType(), int(MainScene::SelectMode));
        }
        QCOMPARE(panel->findChild<QComboBox *>(QStringLiteral("calibration_comboBox"))->currentText(),
                 QStringLiteral("stage"));
        drawLine({640, y}, {740, y});
        QTRY_COMPARE(inserted.count(), 3);
        const Base *calibrated = inserted.last().first().value<Base *>();
        const QString text = calibrated->label()->text();
        QVERIFY2(text.contains(QStringLiteral("um")), qPrintable(text));
        const double um = calibrated->label()->format().number(calibrated->label()->entries().first(), false);
        QVERIFY2(std::abs(um - 50) < 0.5, qPrintable(text));

        // A photo saved as TIFF carries 0.5 um per pixel as image analysis programs read it.
        QTemporaryDir folder;
        ConfigStore &store = ConfigStore::instance();
        store.write(ConfigGroup::Base, BaseKey::SaveImgPath, folder.path());
        store.write(DrawProperty::AutoSaveImage, true);
        store.write(DrawProperty::PhotoFormat, QStringLiteral("tiff"));
        const auto photoSettings = qScopeGuard([&] {
            store.write(DrawProperty::AutoSaveImage, false);
            store.write(DrawProperty::PhotoFormat, QStringLiteral("jpg"));
        });
        QSignalSpy photo(m_window->findChild<AcquirePage *>()->capture(), &PhotoCapture::photoReady);
        m_window->runShortcutCommand(SnapCommand);
        QVERIFY(photo.wait(20000));
        const QStringList saved = QDir(folder.path()).entryList({QStringLiteral("*.tiff")}, QDir::Files);
        QCOMPARE(saved.size(), 1);
        const TiffPicture tiff = readTiff(folder.filePath(saved.first()));
        // The calibration line was snapped to the edges: 200 px within a few thousandths.
        QVERIFY2(std::abs(tiff.xResolution - 2) < 0.01, qPrintable(QString::number(tiff.xResolution)));
        QVERIFY2(tiff.description.contains(QStringLiteral("unit=micron")), qPrintable(tiff.description));
    }

    void unplugLeavesNoPicture()
    {
        QVERIFY(writeDevices({focusCamera()}));
        const auto restore = qScopeGuard([&] {
            m_window.reset();
            writeDevices({});
        });
        m_window = std::make_unique<MainWindow2>();
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session()->isOpen(), 10000);
        VideoWidget *live = m_window->liveView();
        QTRY_VERIFY(!shown(live).isNull());
        live->onSetScalePercent(400);

        // Unplugged: the closed session leaves neither a picture to read back nor one on screen.
        writeDevices({});
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->session()->isOpen(), 10000);
        QCOMPARE(m_window->tabs()->tabText(0), QStringLiteral("Camera"));
        QVERIFY(shown(live).isNull());
        const QImage screen = live->graphicsView()->videoWidget()->grabFramebuffer();
        QCOMPARE(screen.pixelColor(screen.rect().center()), QColor(Qt::black));

        // Plugged back, it opens again at the fitted zoom.
        QVERIFY(writeDevices({focusCamera()}));
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session()->isOpen(), 10000);
        QCOMPARE(live->scaleStrategy(), VideoScaleStrategy::FitToWindow);
    }

    void refusedOpenLogsItsReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("unknown model") << "usb#vid_2bdf&pid_0a10#0001#video"
                                       << "a10" << QByteArray("Unsupported camera model, open failed!");
        QTest::newRow("refused open") << "usb#vid_2bdf&pid_0283#0001#video"
                                      << "283" << QByteArray("Uvc camera open failed!");
    }

    void refusedOpenLogsItsReason()
    {
        // No device is attached: the acquisition thread exists, the camera object does not.
        QFETCH(QString, name);
        QFETCH(QString, model);
        QFETCH(QByteArray, reason);
        g_reason = reason.constData();
        g_capThreadLines = 0;
        g_reasonLines = 0;
        const QtMessageHandler previous = qInstallMessageHandler(countOpenFailures);
        m_window->cameraChange(UsbCamera, name, model);
        qInstallMessageHandler(previous);
        QCOMPARE(g_reasonLines.load(), 1);
        QCOMPARE(g_capThreadLines.load(), 0);
    }

    void contrastViewShowsTwoSources()
    {
        QTabWidget *tabs = m_window->tabs();
        // One picture and no camera: nothing to compare with.
        QCOMPARE(openTestPicture("first.png"), 1);
        QCOMPARE(m_window->onShowContrastView(), -1);
        QImage second(80, 60, QImage::Format_RGB888);
        second.fill(QColor(250, 200, 0));
        QVERIFY(second.save(m_dir.filePath("second.png")));
        QCOMPARE(m_window->openPicture(m_dir.filePath("second.png")), 2);

        // The tab in front goes left, the other picture right.
        const int index = m_window->onShowContrastView();
        QCOMPARE(index, 3);
        auto *view = qobject_cast<ContrastView *>(tabs->widget(index));
        QVERIFY(view);
        QCOMPARE(tabs->currentIndex(), index);
        QCOMPARE(view->property("OpenVideoWidgetType").toInt(), int(ImageTabs::ContrastViewTab));
        QCOMPARE(view->chooser(ContrastView::Left)->currentText(), QStringLiteral("second.png"));
        QCOMPARE(view->chooser(ContrastView::Right)->currentText(), QStringLiteral("first.png"));
        QTRY_COMPARE(shown(view->pane(ContrastView::Left)).size(), QSize(80, 60));
        QTRY_COMPARE(shown(view->pane(ContrastView::Right)).size(), QSize(64, 48));
        view->chooser(ContrastView::Right)->setCurrentIndex(1); // the same picture on both sides
        QTRY_COMPARE(shown(view->pane(ContrastView::Right)).size(), QSize(80, 60));

        // Nothing to save in it, and it closes without a question.
        auto *save = m_window->findChild<QPushButton *>(QStringLiteral("savePic_btn"));
        QVERIFY(!save->isEnabled());
        int asked = 0;
        m_window->setUnsavedQuestion([&](const QStringList &) {
            ++asked;
            return MainWindow2::UnsavedChoice::Cancel;
        });
        QVERIFY(m_window->on_video_tabWidget_tabCloseRequested(index));
        QCOMPARE(asked, 0);
        QCOMPARE(tabs->count(), 3);
    }

    void borderEdges_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("edges");
        QTest::newRow("inside") << QPoint(50, 50) << 0;
        QTest::newRow("left") << QPoint(0, 50) << int(Qt::LeftEdge);
        QTest::newRow("right, last column") << QPoint(99, 50) << int(Qt::RightEdge);
        QTest::newRow("just inside the right border") << QPoint(94, 50) << int(Qt::RightEdge);
        QTest::newRow("just off the right border") << QPoint(93, 50) << 0;
        QTest::newRow("top left corner") << QPoint(2, 3) << int(Qt::LeftEdge | Qt::TopEdge);
        QTest::newRow("bottom right corner") << QPoint(99, 79) << int(Qt::RightEdge | Qt::BottomEdge);
        QTest::newRow("outside") << QPoint(120, 50) << 0;
    }

    void borderEdges()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, edges);
        QCOMPARE(FramelessHelper::edgesAt(pos, QSize(100, 80), 6), edges);
    }

    void doubleClickMaximisesIntoTheAvailableArea()
    {
        QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
        m_window->setGeometry(100, 100, 900, 600);
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QWidget *title = m_window->findChild<QWidget *>(QStringLiteral("titleBar"));
        QVERIFY(title);
        const QRect before = m_window->geometry();
        QTest::mouseDClick(title, Qt::LeftButton, Qt::NoModifier, QPoint(title->width() / 2, title->height() / 2));
        QVERIFY(m_window->frameless()->isMaximized());
        QTRY_COMPARE(m_window->geometry(), m_window->screen()->availableGeometry());
        QTest::mouseDClick(title, Qt::LeftButton, Qt::NoModifier, QPoint(title->width() / 2, title->height() / 2));
        QVERIFY(!m_window->frameless()->isMaximized());
        QTRY_COMPARE(m_window->geometry(), before);
    }

    void installerIconBrandsTheWindow()
    {
        const QString folder = QCoreApplication::applicationDirPath() + "/customInformation/icon";
        QVERIFY(QDir().mkpath(folder));
        QImage logo(32, 32, QImage::Format_ARGB32);
        logo.fill(Qt::red);
        QVERIFY(logo.save(folder + "/logo.ico"));
        const auto remove = qScopeGuard([&] { QFile::remove(folder + "/logo.ico"); });
        MainWindow2 branded;
        QCOMPARE(branded.windowIcon().pixmap(32, 32).toImage().pixelColor(16, 16), QColor(Qt::red));
        // Without it the program's own icon.
        QVERIFY(m_window->windowIcon().pixmap(32, 32).toImage().pixelColor(16, 16) != QColor(Qt::red));
    }

private:
    bool writeDevices(const QJsonArray &devices)
    {
        return writeVirtualDevices(m_dir.filePath("devices.json"), devices);
    }
    int openTestPicture(const QString &name)
    {
        QFile::copy(m_dir.filePath("slide.png"), m_dir.filePath(name));
        return m_window->openPicture(m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow2> m_window;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
