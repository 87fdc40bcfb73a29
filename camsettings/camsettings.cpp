#include "camsettings.h"

#include "basecamera.h"
#include "cameraopeninfo.h"
#include "configkeys.h"
#include "configstore.h"
#include "models/cameramodelfactory.h"
#include "rotatecontrol.h"

#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kFirstSearchMs = 1000;
constexpr int kSearchPeriodMs = 2000;
// A wheel step moves the zoom by this share of its range: end to end in 20 steps.
constexpr int kZoomWheelSteps = 20;

} // namespace

CamSettings::CamSettings(QWidget *parent)
    : QTabWidget(parent)
    , m_searcher(new CameraSearcher)
    , m_searchTimer(new QTimer(this))
    , m_detection(CameraDetection::loadConfig(CameraDetection::configPath()))
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    m_selector = new QComboBox(page);
    m_selector->setObjectName(QStringLiteral("camera_comboBox"));
    m_selector->setMinimumWidth(200);
    m_cameraCaption = new QLabel(page);
    form->addRow(m_cameraCaption, m_selector);
    m_modelLabel = new QLabel(page);
    m_modelCaption = new QLabel(page);
    form->addRow(m_modelCaption, m_modelLabel);
    layout->addLayout(form);
    m_openButton = new QPushButton(page);
    m_openButton->setObjectName(QStringLiteral("open_btn"));
    layout->addWidget(m_openButton);
    m_pauseButton = new QPushButton(page);
    m_pauseButton->setObjectName(QStringLiteral("pause_btn"));
    m_pauseButton->setCheckable(true);
    layout->addWidget(m_pauseButton);
    layout->addStretch();
    addTab(page, QString());
    buildControls();

    connect(m_openButton, &QPushButton::clicked, this, &CamSettings::onOpenButton);
    connect(m_pauseButton, &QPushButton::clicked, this, &CamSettings::onPauseBtnToggled);
    connect(m_selector, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        const CameraSearcher::SearchInfo info = m_detection.cameras().value(m_selector->currentData().toString());
        m_modelLabel->setText(info.model);
        updateOpenButton();
    });

    m_searcher->moveToThread(&m_searchThread);
    connect(&m_searchThread, &QThread::finished, m_searcher, &QObject::deleteLater);
    connect(m_searchTimer, &QTimer::timeout, m_searcher, &CameraSearcher::onSearchCameras);
    connect(m_searcher, &CameraSearcher::sendSearchResult, this, &CamSettings::onDetectDevices);
    m_searchTimer->setInterval(kSearchPeriodMs);
    retranslate();
}

void CamSettings::retranslate()
{
    setTabText(0, tr("Camera"));
    m_cameraCaption->setText(tr("Camera"));
    m_modelCaption->setText(tr("Model"));
    retranslateControls();
    updateOpenButton();
}

void CamSettings::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QTabWidget::changeEvent(event);
}

CamSettings::~CamSettings()
{
    m_searchTimer->stop();
    // A searcher whose thread never ran is not deleted by the thread's end.
    if (!m_searchThread.isRunning() && !m_searchThread.isFinished())
        delete m_searcher;
    m_searchThread.quit();
    m_searchThread.wait();
}

void CamSettings::start()
{
    m_windowsVersion = CameraSearcher::currentWindowsVersionCode();
    m_searchThread.start();
    QTimer::singleShot(kFirstSearchMs, m_searcher, &CameraSearcher::onSearchCameras);
    m_searchTimer->start();
}

void CamSettings::onDetectDevices(QMap<QString, CameraSearcher::SearchInfo> infos)
{
    const CameraDetection::Outcome outcome = m_detection.detect(infos, bool(m_camera), m_windowsVersion);
    if (outcome.changed)
        rebuildSelector();
    if (!outcome.openName.isEmpty()) {
        const CameraSearcher::SearchInfo info = infos.value(outcome.openName);
        emit openCam(info.type, info.uniqueName, info.model);
    }
}

void CamSettings::rebuildSelector()
{
    const QString keep = m_camera ? m_cameraName : m_selector->currentData().toString();
    QSignalBlocker blocker(m_selector);
    m_selector->clear();
    for (const CameraSearcher::SearchInfo &info : m_detection.cameras())
        m_selector->addItem(info.displayName, info.uniqueName);
    const int index = m_selector->findData(keep);
    m_selector->setCurrentIndex(index >= 0 ? index : 0);
    blocker.unblock();
    m_modelLabel->setText(m_detection.cameras().value(m_selector->currentData().toString()).model);
    updateOpenButton();
}

void CamSettings::updateOpenButton()
{
    // The button closes the open camera while it is the one chosen; for another one it offers
    // to open, which the one-camera rule refuses.
    const bool closes = m_camera && m_selector->currentData().toString() == m_cameraName;
    m_openButton->setText(closes ? tr("Close") : tr("Open"));
    m_openButton->setEnabled(m_camera || m_selector->count() > 0);
    m_pauseButton->setText(m_paused ? tr("Resume") : tr("Pause"));
    m_pauseButton->setEnabled(bool(m_camera));
}

void CamSettings::onOpenButton()
{
    const QString chosen = m_selector->currentData().toString();
    if (m_camera && chosen == m_cameraName) {
        closeCameraForReason(m_cameraName, UserClosed);
        return;
    }
    if (m_camera) {
        QMessageBox::information(this, tr("Notice"), tr("The number of cameras is greater than 1"));
        return;
    }
    const CameraSearcher::SearchInfo info = m_detection.cameras().value(chosen);
    if (!info.uniqueName.isEmpty())
        emit openCam(info.type, info.uniqueName, info.model);
}

std::shared_ptr<BaseCamera> CamSettings::openCamera(const CameraOpenInfo &record)
{
    std::shared_ptr<BaseCamera> camera = createCamera(record);
    if (!camera) {
        qWarning().noquote() << "Unsupported camera model, open failed!" << record.model;
        return nullptr;
    }
    camera->setResolutionInfo(record);
    if (!camera->open(record))
        return nullptr;
    // The stored row of this camera decides its stream and values (seeded on first sight) once
    // the device has been read.
    camera->useStoredParameters(true);
    m_camera = camera;
    m_cameraName = record.isNetCamera ? record.address : record.cameraResolution.devicePath;
    m_databaseKey = camera->uniqueName();
    m_cameraModel = record.model;
    m_netCamera = record.isNetCamera;
    if (!m_database.isOpen() && !m_database.open())
        qWarning().noquote() << "The camera's changes will not be remembered:" << CameraDatabase::openFailedMessage();
    connectCamera();
    // The picture turns as it did when the program last showed one.
    m_rotate->applyRotateAngle(ConfigStore::instance().value(ConfigGroup::Rotate, RotateKey::RotateAngle).toInt());
    rebuildSelector();
    return camera;
}

QMetaMethod CamSettings::cameraSlotFor(const QMetaMethod &request)
{
    // Requests named otherwise than "on" + the slot's name without "Camera".
    static const QHash<QByteArray, QByteArray> kNamed = {
        {"startFFCCapture", "onSetFFCCaptureNum"},
        {"setHistogramCalcBoundariesOnce", "onCalcHistogramBoundariesOnce"},
        {"signalVideoRotate", "onSetVideoRotate"},
        {"upgradeCamera", "onUpgrade"},
        {"saveCameraConfig", "onSaveCameraConfig"},
        {"setCameraIp", "onSetIp"},
        {"setCameraDisplayMode", "onSetCameraDisplayMode"},
    };
    QByteArray name = request.name();
    QByteArray slot = kNamed.value(name);
    if (slot.isEmpty()) {
        for (const char *verb : {"set", "get", "reset"}) {
            const QByteArray prefix = QByteArray(verb) + "Camera";
            if (name.startsWith(prefix))
                name = verb + name.mid(prefix.size());
        }
        slot = "on" + name.left(1).toUpper() + name.mid(1);
    }
    const QByteArray signature = slot + '(' + request.parameterTypes().join(',') + ')';
    const QMetaObject &camera = BaseCamera::staticMetaObject;
    const int index = camera.indexOfSlot(QMetaObject::normalizedSignature(signature.constData()).constData());
    return index < 0 ? QMetaMethod() : camera.method(index);
}

void CamSettings::connectCamera()
{
    // Automatic connections: the camera moves to its own thread, so the calls are queued.
    disconnectCamera();
    BaseCamera *camera = m_camera.get();
    const QMetaObject &panel = staticMetaObject;
    for (int i = panel.methodOffset(); i < panel.methodCount(); ++i) {
        const QMetaMethod request = panel.method(i);
        if (request.methodType() != QMetaMethod::Signal)
            continue;
        const QMetaMethod slot = cameraSlotFor(request);
        if (slot.isValid())
            m_cameraConnections << connect(this, request, camera, slot);
    }
    // What the camera reports comes to onRecvCamera… (or onRecv…) of the same name.
    const QMetaObject &cameraMeta = BaseCamera::staticMetaObject;
    for (int i = cameraMeta.methodOffset(); i < cameraMeta.methodCount(); ++i) {
        const QMetaMethod report = cameraMeta.method(i);
        if (report.methodType() != QMetaMethod::Signal)
            continue;
        QByteArray stem = report.name();
        if (stem == "previewReslutionChanged")
            stem = "PreviewResChanged";
        else if (stem.startsWith("send"))
            stem = stem.mid(4);
        else
            continue;
        const QByteArray arguments = '(' + report.parameterTypes().join(',') + ')';
        for (const QByteArray &name : {"onRecvCamera" + stem, "onRecv" + stem}) {
            const int index = panel.indexOfSlot(QMetaObject::normalizedSignature(name + arguments).constData());
            if (index >= 0) {
                m_cameraConnections << connect(camera, report, this, panel.method(index));
                break;
            }
        }
    }
    connectPieces(camera);
}

void CamSettings::disconnectCamera()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_cameraConnections))
        disconnect(connection);
    m_cameraConnections.clear();
}

void CamSettings::closeCameraForReason(QString uniqueName, CameraCloseReason reason)
{
    if (m_camera && uniqueName == m_cameraName) {
        disconnectCamera();
        m_camera.reset();
        m_cameraName.clear();
        m_databaseKey.clear();
        setPaused(false);
        showInfo(CameraInfo());
    }
    m_detection.sessionClosed(uniqueName, reason);
    updateOpenButton();
    emit closeCam(uniqueName, reason);
}

void CamSettings::onIncreaseOrDecreaseFoucs(bool increase)
{
    if (!m_camera)
        return;
    if (increase)
        emit setCameraFocusAdd();
    else
        emit setCameraFocusSub();
}

void CamSettings::onIncreaseOrDecreaseZoom(bool increase)
{
    if (!m_camera || !m_zoom.supported || m_zoom.max <= m_zoom.min)
        return;
    const int step = std::max(1, (m_zoom.max - m_zoom.min) / kZoomWheelSteps);
    const int value = std::clamp(m_zoom.value + (increase ? step : -step), m_zoom.min, m_zoom.max);
    if (value == m_zoom.value)
        return;
    // Kept at once, so that the next step goes on from here before the camera answers.
    m_zoom.value = value;
    emit setCameraZoomValue(value);
}

void CamSettings::onFocusOnceBtn()
{
    if (m_camera)
        emit setCameraFocusOnce();
}

void CamSettings::onPauseBtnToggled()
{
    if (m_camera)
        setPaused(!m_paused);
    else
        m_pauseButton->setChecked(false);
}

void CamSettings::setPaused(bool pause)
{
    m_pauseButton->setChecked(pause);
    if (pause == m_paused)
        return;
    m_paused = pause;
    updateOpenButton();
    emit pauseStatusChanged(pause);
}
