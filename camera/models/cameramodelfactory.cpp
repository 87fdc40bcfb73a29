#include "cameramodelfactory.h"

#include "cameramodeltable.h"

#include "cm01netcamera.h"
#include "cm01ucamera.h"
#include "cm02netcamera.h"
#include "cm02ucamera.h"
#include "cm02unetcamera.h"
#include "cm03netcamera.h"
#include "cm03ucamera.h"
#include "cm04netcamera.h"
#include "cm04ucamera.h"
#include "cm05netcamera.h"
#include "cm05ucamera.h"
#include "cm06netcamera.h"
#include "cm06ucamera.h"
#include "cm07camera.h"
#include "cm08netcamera.h"
#include "cm08ucamera.h"
#include "cm09netcamera.h"
#include "cm09ucamera.h"
#include "cm10netcamera.h"
#include "cm10ucamera.h"
#include "cm11netcamera.h"
#include "cm11ucamera.h"
#include "cm12netcamera.h"
#include "cm12ucamera.h"
#include "cm13netcamera.h"
#include "cm14netcamera.h"
#include "cm15netcamera.h"
#include "cm15ucamera.h"
#include "cm16netcamera.h"
#include "cm16ucamera.h"
#include "cm17netcamera.h"
#include "cm17ucamera.h"
#include "cm18netcamera.h"
#include "cm18ucamera.h"
#include "cm19netcamera.h"
#include "cm19ucamera.h"
#include "cm20netcamera.h"
#include "cm20ucamera.h"
#include "cm21netcamera.h"
#include "cm21ucamera.h"
#include "cm22netcamera.h"
#include "cm22ucamera.h"
#include "cm23camera.h"
#include "cm24camera.h"
#include "cm25camera.h"
#include "cm26camera.h"
#include "cm27camera.h"
#include "cm28camera.h"
#include "cm29camera.h"
#include "cm30camera.h"
#include "cm31camera.h"
#include "cm32camera.h"
#include "cm33camera.h"
#include "cm34camera.h"

#include <QJsonObject>
#include <iterator>

namespace {

using Creator = std::shared_ptr<BaseCamera> (*)();

template<class Camera> std::shared_ptr<BaseCamera> make()
{
    return std::make_shared<Camera>();
}

// One factory key: a text, or (null text) the USB product id of the model.
struct FactoryKey
{
    const char *text;
    const QMetaObject *model;
    Creator create;
};

template<class Camera> FactoryKey byText(const char *text)
{
    return {text, &Camera::staticMetaObject, &make<Camera>};
}

template<class Camera> FactoryKey byProductId()
{
    return {nullptr, &Camera::staticMetaObject, &make<Camera>};
}

// Tested in this order; the first key the text contains decides. The network keys of the
// second family come before the USB ones, so "CM08_IPC" wins over "cm08", and "CM02U_IPC"
// comes late because no earlier key is part of it.
// clang-format off
const FactoryKey kKeys[] = {
    byText<Cm21NetCamera>("CM21_IPC"),
    byText<Cm14NetCamera>("CM14_IPC"),
    byText<Cm17NetCamera>("CM17_IPC"),
    byText<Cm18NetCamera>("CM18_IPC"),
    byText<Cm08NetCamera>("CM08_IPC"),
    byText<Cm09NetCamera>("CM09_IPC"),
    byText<Cm10NetCamera>("CM10_IPC"),
    byText<Cm11NetCamera>("CM11_IPC"),
    byText<Cm12NetCamera>("CM12_IPC"),
    byProductId<Cm17UCamera>(),
    byProductId<Cm18UCamera>(),
    byProductId<Cm21UCamera>(),
    byProductId<Cm07Camera>(),
    byText<Cm08UCamera>("cm08"),
    byText<Cm10UCamera>("cm10"),
    byText<Cm09UCamera>("cm09"),
    byText<Cm11UCamera>("cm11"),
    byText<Cm12UCamera>("cm12"),
    byProductId<Cm25Camera>(),
    byProductId<Cm23Camera>(),
    byProductId<Cm24Camera>(),
    byProductId<Cm28Camera>(),
    byProductId<Cm29Camera>(),
    byProductId<Cm32Camera>(),
    byProductId<Cm33Camera>(),
    byProductId<Cm34Camera>(),
    byProductId<Cm26Camera>(),
    byProductId<Cm30Camera>(),
    byProductId<Cm31Camera>(),
    byText<Cm01UCamera>("cm01"),
    byText<Cm01NetCamera>("CM01_IPC"),
    byText<Cm02UCamera>("cm02"),
    byText<Cm02NetCamera>("CM02_IPC"),
    byText<Cm03UCamera>("cm03"),
    byText<Cm03NetCamera>("CM03_IPC"),
    byText<Cm04UCamera>("cm04"),
    byText<Cm04NetCamera>("CM04_IPC"),
    byText<Cm06NetCamera>("CM06_IPC"),
    byText<Cm06UCamera>("cm06"),
    byText<Cm05NetCamera>("CM05_IPC"),
    byText<Cm05UCamera>("cm05"),
    byText<Cm13NetCamera>("CM13_IPC"),
    byText<Cm15NetCamera>("CM15_IPC"),
    byText<Cm16NetCamera>("CM16_IPC"),
    byProductId<Cm15UCamera>(),
    byProductId<Cm16UCamera>(),
    byText<Cm02UNetCamera>("CM02U_IPC"),
    byProductId<Cm19UCamera>(),
    byText<Cm19NetCamera>("CM19_IPC"),
    byProductId<Cm22UCamera>(),
    byText<Cm22NetCamera>("CM22_IPC"),
    byProductId<Cm27Camera>(),
    byProductId<Cm20UCamera>(),
    byText<Cm20NetCamera>("CM20_IPC"),
};
// clang-format on

QString keyText(const FactoryKey &key)
{
    if (key.text)
        return QLatin1String(key.text);
    const CameraModelRow *row = findCameraModel(QLatin1String(key.model->className()));
    return row && row->productId ? productIdText(row->productId) : QString();
}

QJsonValue textOrNull(const char *text)
{
    return text ? QJsonValue(QLatin1String(text)) : QJsonValue(QJsonValue::Null);
}

// The first key the text contains, in the order above.
const FactoryKey *findFactoryKey(const QString &key)
{
    for (const FactoryKey &candidate : kKeys) {
        const QString text = keyText(candidate);
        if (!text.isEmpty() && key.contains(text, Qt::CaseSensitive))
            return &candidate;
    }
    return nullptr;
}

QString openInfoKey(const CameraOpenInfo &info)
{
    return info.isNetCamera ? info.model : info.cameraResolution.devicePath;
}

} // namespace

std::shared_ptr<BaseCamera> createCamera(const CameraOpenInfo &info)
{
    return createCameraForKey(openInfoKey(info));
}

std::shared_ptr<BaseCamera> createCameraForKey(const QString &key)
{
    const FactoryKey *found = findFactoryKey(key);
    return found ? found->create() : std::shared_ptr<BaseCamera>();
}

QString cameraModelKey(const CameraOpenInfo &info)
{
    const FactoryKey *found = findFactoryKey(openInfoKey(info));
    const CameraModelRow *row = found ? findCameraModel(QLatin1String(found->model->className())) : nullptr;
    return row ? QLatin1String(row->modelKey) : QString();
}

QVector<QPair<QString, QString>> cameraFactoryKeys()
{
    QVector<QPair<QString, QString>> keys;
    for (const FactoryKey &key : kKeys)
        keys.append({keyText(key), QLatin1String(key.model->className())});
    return keys;
}

QJsonArray cameraModelList()
{
    int count = 0;
    const CameraModelRow *rows = cameraModelRows(&count);
    QJsonArray list;
    for (int i = 0; i < count; ++i) {
        const CameraModelRow &row = rows[i];
        QJsonObject object;
        object.insert(QStringLiteral("class"), QLatin1String(row.className));
        object.insert(QStringLiteral("baseClass"), QLatin1String(row.baseClassName));
        object.insert(QStringLiteral("modelKey"), QLatin1String(row.modelKey));
        object.insert(QStringLiteral("productId"),
                      row.productId ? QJsonValue(productIdText(row.productId)) : QJsonValue(QJsonValue::Null));
        object.insert(QStringLiteral("firmwareKey"), textOrNull(row.firmwareKey));
        object.insert(QStringLiteral("resolution"), QLatin1String(row.defaults.resolution));
        object.insert(QStringLiteral("fps"), row.defaults.fps);
        list.append(object);
    }
    return list;
}
