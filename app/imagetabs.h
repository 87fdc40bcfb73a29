#pragma once

#include "photosaver.h"

#include <QObject>
#include <QStringList>
#include <functional>

class CameraSession;
class CommandRegistry;
class QTabWidget;
class VideoWidget;

// The tab widget of the main window: tab 0 is the live view and never closes; the others hold
// pictures, photos and contrast views, which are saved, copied and closed here.
class ImageTabs : public QObject
{
    Q_OBJECT
public:
    // The kind of each tab, in its "OpenVideoWidgetType" property.
    enum OpenVideoWidgetType { LiveViewTab = 0, PictureTab = 1, ContrastViewTab = 2 };
    // What the operator answers about unsaved pictures when tabs close (tests answer for him).
    enum class UnsavedChoice { Save, DontSave, Cancel };
    using UnsavedQuestion = std::function<UnsavedChoice(const QStringList &names)>;
    using Warning = std::function<void(const QString &text)>;

    // The tab widget goes into parent; warn shows a message that does not block the window.
    ImageTabs(QWidget *parent, CameraSession *session, Warning warn);

    QTabWidget *tabs() const { return m_tabs; }
    VideoWidget *liveView() const { return m_liveView; }
    // Save Picture, Real-time Preview and Image Copy.
    void registerCommands(CommandRegistry &commands);

    // Adds an image tab (a picture, a photo, an analysis result). Refused with a warning, and
    // the widget deleted, when memory is short. A tab without a name is "Tab" and a number.
    // Returns its index or -1.
    int addImageTab(QWidget *tab, const QString &name = QString());
    // An image tab showing a picture file; -1 when it cannot be read or memory is short.
    int openPicture(const QString &path);
    // An image tab showing a picture that has no file yet (a photo to review).
    int addPicture(const QImage &image, const QString &name);
    static bool isUnsaved(const QWidget *tab);
    static void setUnsaved(QWidget *tab, bool unsaved);
    // An image tab holding a picture (not the live view, not a contrast view).
    bool hasPicture(int index) const;

    void setUnsavedQuestion(UnsavedQuestion question) { m_askUnsaved = std::move(question); }
    // What a pixel of a saved picture of that width measures (the calibration in use).
    void setPixelSizeOf(std::function<PhotoSaver::PixelSize(int width)> pixelSizeOf)
    {
        m_pixelSizeOf = std::move(pixelSizeOf);
    }
    // The /proc/meminfo text behind the memory check; unset, the system's (tests give their own).
    void setMeminfoReader(std::function<QByteArray()> reader) { m_readMeminfo = std::move(reader); }

signals:
    // A video window is about to become an image tab.
    void videoTabAdded(VideoWidget *view);

public slots:
    // Asks for picture files and opens each in a tab.
    void askToOpenPictures();
    // Closing a tab: tab 0 never; an unsaved picture asks first. False when the tab stays.
    bool closeTab(int index);
    // Copies the picture in front to the clipboard: an image tab's picture, or the live
    // view's last drawn frame.
    void copyCurrentImage();
    void showContextMenu(const QPoint &pos);
    // A tab with the picture in front beside another picture or the live camera; -1 when
    // there is nothing to compare it with.
    int showContrastView();
    void quickSaveCurrent();
    void quickSaveAll();
    void saveCurrent();
    void saveAll();
    void closeCurrent();
    void closeOthers();
    void closeAll();
    // The session ended: the live view and the contrast views' camera panes show no picture.
    void clearLivePictures();

private:
    // Closes the tabs at these indices (descending), asking once about their unsaved pictures.
    void closeTabs(QList<int> indices);
    bool saveTab(int index, bool quick);

    QTabWidget *m_tabs = nullptr;
    VideoWidget *m_liveView = nullptr;
    CameraSession *m_session = nullptr;
    Warning m_warn;
    int m_tabCounter = 0;
    QMetaObject::Connection m_copyConnection; // waits for the live view's picture to copy
    UnsavedQuestion m_askUnsaved;
    std::function<QByteArray()> m_readMeminfo;
    std::function<PhotoSaver::PixelSize(int width)> m_pixelSizeOf;
};
