#include "imagetabs.h"

#include "camerasession.h"
#include "commandregistry.h"
#include "configstore.h"
#include "contrastview.h"
#include "frameconversion.h"
#include "memorycheck.h"
#include "photosaver.h"
#include "unsavedfilesdialog.h"
#include "videowidget.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>

// The texts keep the main window's translation context, where they are translated.

ImageTabs::ImageTabs(QWidget *parent, CameraSession *session, Warning warn)
    : QObject(parent), m_session(session), m_warn(std::move(warn))
{
    m_tabs = new QTabWidget(parent);
    m_tabs->setObjectName(QStringLiteral("video_tabWidget"));
    m_tabs->setTabsClosable(true);
    m_liveView = new VideoWidget(m_tabs);
    m_liveView->setProperty("OpenVideoWidgetType", LiveViewTab);
    m_tabs->addTab(m_liveView, QString());
    m_tabs->tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
    m_tabs->tabBar()->setTabButton(0, QTabBar::LeftSide, nullptr);
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, &ImageTabs::closeTab);
    m_tabs->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tabs->tabBar(), &QWidget::customContextMenuRequested, this, &ImageTabs::showContextMenu);
}

void ImageTabs::registerCommands(CommandRegistry &commands)
{
    commands.add({SavePictureCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "SavePicture"), QStringLiteral("F3"),
                  [this] { saveCurrent(); }});
    commands.add({RealTimePreviewCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Real-time Preview"),
                  QStringLiteral("F7"), [this] { m_tabs->setCurrentIndex(0); }});
    commands.add({ImageCopyCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Image Copy"), QStringLiteral("F8"),
                  [this] { copyCurrentImage(); }});
}

void ImageTabs::askToOpenPictures()
{
    const QString folder = ConfigStore::instance().value(ConfigGroup::Base, BaseKey::OpenedImgPath).toString();
    const QStringList paths = QFileDialog::getOpenFileNames(
        m_tabs->window(), QCoreApplication::translate("MainWindow2", "Open Picture"), folder,
        QCoreApplication::translate("MainWindow2", "Images (*.png *.jpg *.jpeg *.bmp *.tif *.tiff)"));
    for (const QString &path : paths)
        openPicture(path);
    if (!paths.isEmpty())
        ConfigStore::instance().write(ConfigGroup::Base, BaseKey::OpenedImgPath,
                                      QFileInfo(paths.last()).absolutePath());
}

bool ImageTabs::isUnsaved(const QWidget *tab)
{
    return tab && tab->property("unsaved").toBool();
}

void ImageTabs::setUnsaved(QWidget *tab, bool unsaved)
{
    tab->setProperty("unsaved", unsaved);
}

int ImageTabs::addImageTab(QWidget *tab, const QString &name)
{
    if (!(m_readMeminfo ? checkMemoryLoad(m_readMeminfo()) : checkMemory())) {
        delete tab;
        m_warn(QCoreApplication::translate("MainWindow2", "Insufficient memory, please close some windows."));
        return -1;
    }
    if (tab->property("OpenVideoWidgetType").toInt() == LiveViewTab)
        tab->setProperty("OpenVideoWidgetType", PictureTab);
    const QString title = name.isEmpty() ? QStringLiteral("Tab%1").arg(++m_tabCounter) : name;
    if (auto *view = qobject_cast<VideoWidget *>(tab))
        emit videoTabAdded(view);
    const int index = m_tabs->addTab(tab, title);
    m_tabs->setCurrentIndex(index);
    return index;
}

int ImageTabs::openPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        qWarning().noquote() << "Can not read the picture" << path << reader.errorString();
        return -1;
    }
    const int index = addPicture(image, QFileInfo(path).fileName());
    if (index >= 0)
        m_tabs->widget(index)->setProperty("filePath", path);
    return index;
}

int ImageTabs::addPicture(const QImage &image, const QString &name)
{
    auto *view = new VideoWidget;
    view->setProperty("picture", image);
    const int index = addImageTab(view, name);
    if (index >= 0)
        view->onFrame(videoFrameFromQImage(image));
    return index;
}

bool ImageTabs::saveTab(int index, bool quick)
{
    if (!hasPicture(index))
        return false;
    QWidget *tab = m_tabs->widget(index);
    QString path;
    if (quick) {
        // Into the quick-save folder under the tab's name and the time.
        const QString folder =
            ConfigStore::instance()
                .value(DrawProperty::QuickSavePath, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
                .toString();
        QDir().mkpath(folder);
        const QString base = QFileInfo(m_tabs->tabText(index)).completeBaseName();
        path = QDir(folder).filePath(
            QStringLiteral("%1_%2.png")
                .arg(base, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmsszzz"))));
    } else {
        path = tab->property("filePath").toString();
        if (path.isEmpty())
            path = QFileDialog::getSaveFileName(m_tabs->window(), QCoreApplication::translate("MainWindow2", "Save"),
                                                m_tabs->tabText(index), PhotoSaver::saveAsFilter());
    }
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    QString error;
    const QImage picture = tab->property("picture").value<QImage>();
    const PhotoSaver::PixelSize pixel = m_pixelSizeOf ? m_pixelSizeOf(picture.width()) : PhotoSaver::PixelSize();
    if (!PhotoSaver::save(picture, path, QString(), &error, pixel)) {
        qWarning().noquote() << "Saving the picture failed:" << error;
        m_warn(quick ? QCoreApplication::translate("MainWindow2", "Failed to save the picture: %1").arg(path)
                     : QCoreApplication::translate("MainWindow2", "Save Image As Failed!"));
        return false;
    }
    // The tab takes the file's name and counts as saved.
    tab->setProperty("filePath", path);
    setUnsaved(tab, false);
    m_tabs->setTabText(index, QFileInfo(path).fileName());
    return true;
}

bool ImageTabs::closeTab(int index)
{
    if (index <= 0 || index >= m_tabs->count())
        return false; // the live view stays
    const int before = m_tabs->count();
    closeTabs({index});
    return m_tabs->count() < before;
}

void ImageTabs::closeTabs(QList<int> indices)
{
    std::sort(indices.begin(), indices.end(), std::greater<int>());
    indices.removeAll(0);
    std::vector<UnsavedFilesDialog::UnsavedFileInfo> unsaved;
    QStringList unsavedNames;
    for (int index : indices) {
        if (isUnsaved(m_tabs->widget(index))) {
            unsaved.push_back({index, m_tabs->tabText(index)});
            unsavedNames << m_tabs->tabText(index);
        }
    }
    if (!unsaved.empty()) {
        UnsavedChoice choice = UnsavedChoice::Cancel;
        std::vector<int> toSave;
        for (const auto &info : unsaved)
            toSave.push_back(info.tabIndex);
        if (m_askUnsaved) {
            choice = m_askUnsaved(unsavedNames);
        } else if (unsaved.size() == 1) {
            QMessageBox box(QMessageBox::Question, QCoreApplication::translate("MainWindow2", "Notice"),
                            QCoreApplication::translate("MainWindow2", "Do you want to exit without saving?"),
                            QMessageBox::NoButton, m_tabs->window());
            QPushButton *save =
                box.addButton(QCoreApplication::translate("MainWindow2", "Save"), QMessageBox::AcceptRole);
            QPushButton *discard =
                box.addButton(QCoreApplication::translate("MainWindow2", "Don't Save"), QMessageBox::DestructiveRole);
            box.addButton(QCoreApplication::translate("MainWindow2", "Cancel"), QMessageBox::RejectRole);
            box.setDefaultButton(save);
            box.exec();
            const QAbstractButton *clicked = box.clickedButton();
            choice = clicked == save      ? UnsavedChoice::Save
                     : clicked == discard ? UnsavedChoice::DontSave
                                          : UnsavedChoice::Cancel;
        } else {
            // Several pictures: the operator ticks the ones to keep.
            UnsavedFilesDialog dialog(unsaved, m_tabs->window());
            dialog.exec();
            choice = dialog.choice() == UnsavedFilesDialog::Save       ? UnsavedChoice::Save
                     : dialog.choice() == UnsavedFilesDialog::DontSave ? UnsavedChoice::DontSave
                                                                       : UnsavedChoice::Cancel;
            toSave = dialog.tabsToSave();
        }
        if (choice == UnsavedChoice::Cancel)
            return;
        if (choice == UnsavedChoice::Save) {
            // A picture that could not be saved keeps its tab.
            for (int index : toSave) {
                if (!saveTab(index, false))
                    indices.removeAll(index);
            }
        }
    }
    for (int index : indices) {
        QWidget *tab = m_tabs->widget(index);
        m_tabs->removeTab(index);
        tab->deleteLater();
    }
}

void ImageTabs::showContextMenu(const QPoint &pos)
{
    const int index = m_tabs->tabBar()->tabAt(pos);
    if (index >= 0)
        m_tabs->setCurrentIndex(index);
    QMenu menu(m_tabs->window());
    const bool imageTab = m_tabs->currentIndex() > 0;
    const bool anyImage = m_tabs->count() > 1;
    const bool picture = hasPicture(m_tabs->currentIndex());
    bool anyPicture = false;
    for (int i = 1; i < m_tabs->count(); ++i)
        anyPicture = anyPicture || hasPicture(i);
    menu.addAction(QCoreApplication::translate("MainWindow2", "Contrast View"), this, &ImageTabs::showContrastView)
        ->setEnabled(anyPicture && (m_tabs->count() > 2 || m_session->isOpen()));
    menu.addSeparator();
    menu.addAction(QCoreApplication::translate("MainWindow2", "Quick Save"), this, &ImageTabs::quickSaveCurrent)
        ->setEnabled(picture);
    menu.addAction(QCoreApplication::translate("MainWindow2", "Quick Save All"), this, &ImageTabs::quickSaveAll)
        ->setEnabled(anyPicture);
    menu.addAction(QCoreApplication::translate("MainWindow2", "Save"), this, &ImageTabs::saveCurrent)
        ->setEnabled(picture);
    menu.addAction(QCoreApplication::translate("MainWindow2", "Save All"), this, &ImageTabs::saveAll)
        ->setEnabled(anyPicture);
    menu.addSeparator();
    menu.addAction(QCoreApplication::translate("MainWindow2", "Close"), this, &ImageTabs::closeCurrent)
        ->setEnabled(imageTab);
    menu.addAction(QCoreApplication::translate("MainWindow2", "Close Other"), this, &ImageTabs::closeOthers)
        ->setEnabled(anyImage);
    menu.addAction(QCoreApplication::translate("MainWindow2", "Close All"), this, &ImageTabs::closeAll)
        ->setEnabled(anyImage);
    menu.exec(m_tabs->tabBar()->mapToGlobal(pos));
}

void ImageTabs::copyCurrentImage()
{
    QWidget *tab = m_tabs->currentWidget();
    if (tab != m_liveView) {
        const QImage image = tab ? tab->property("picture").value<QImage>() : QImage();
        if (!image.isNull())
            QGuiApplication::clipboard()->setImage(image);
        return;
    }
    // The live view answers with the frame it drew last; without a camera it shows nothing.
    if (!m_session->isOpen())
        return;
    disconnect(m_copyConnection);
    m_copyConnection = connect(m_liveView, &VideoWidget::sendWatermarkFrame, this, [this](const VideoFrame &frame) {
        disconnect(m_copyConnection);
        const QImage image = videoFrameToQImage(frame);
        if (!image.isNull())
            QGuiApplication::clipboard()->setImage(image);
    });
    emit m_liveView->getWatermarkFrame();
}

void ImageTabs::quickSaveCurrent()
{
    saveTab(m_tabs->currentIndex(), true);
}

void ImageTabs::quickSaveAll()
{
    for (int i = 1; i < m_tabs->count(); ++i) {
        if (hasPicture(i))
            saveTab(i, true);
    }
}

void ImageTabs::saveCurrent()
{
    saveTab(m_tabs->currentIndex(), false);
}

void ImageTabs::saveAll()
{
    for (int i = 1; i < m_tabs->count(); ++i) {
        if (hasPicture(i))
            saveTab(i, false);
    }
}

bool ImageTabs::hasPicture(int index) const
{
    const QWidget *tab = index > 0 ? m_tabs->widget(index) : nullptr;
    return tab && tab->property("picture").isValid();
}

int ImageTabs::showContrastView()
{
    // The live camera while a session is open, then the pictures of the image tabs.
    QList<ContrastView::Source> sources;
    QList<QWidget *> tabsOfSources;
    if (m_session->isOpen()) {
        sources.append({m_tabs->tabText(0), QImage()});
        tabsOfSources << m_liveView;
    }
    for (int i = 1; i < m_tabs->count(); ++i) {
        if (hasPicture(i)) {
            sources.append({m_tabs->tabText(i), m_tabs->widget(i)->property("picture").value<QImage>()});
            tabsOfSources << m_tabs->widget(i);
        }
    }
    if (sources.size() < 2)
        return -1;
    // The tab in front on the left, the next source on the right.
    const int left = std::max(0, int(tabsOfSources.indexOf(m_tabs->currentWidget())));
    const int right = (left + 1) % sources.size();
    auto *view = new ContrastView(sources, left, right);
    view->setProperty("OpenVideoWidgetType", ContrastViewTab);
    // As for the live view: a frame that arrives after the session closed is dropped.
    connect(m_session, &CameraSession::putVideoFrame, view, [this, view](const VideoFrame &frame) {
        if (m_session->isOpen())
            view->onLiveFrame(frame);
    });
    return addImageTab(view, QCoreApplication::translate("MainWindow2", "Contrast View"));
}

void ImageTabs::closeCurrent()
{
    closeTab(m_tabs->currentIndex());
}

void ImageTabs::closeOthers()
{
    QList<int> others;
    for (int i = 1; i < m_tabs->count(); ++i) {
        if (i != m_tabs->currentIndex())
            others << i;
    }
    closeTabs(others);
}

void ImageTabs::closeAll()
{
    QList<int> all;
    for (int i = 1; i < m_tabs->count(); ++i)
        all << i;
    closeTabs(all);
}

void ImageTabs::clearLivePictures()
{
    m_liveView->clear();
    for (int i = 1; i < m_tabs->count(); ++i) {
        if (auto *view = qobject_cast<ContrastView *>(m_tabs->widget(i)))
            view->clearLive();
    }
}
