#include "theme.h"

#include "configstore.h"

#include <QApplication>
#include <QDebug>
#include <QFile>

namespace Theme {

namespace {
Info g_current = forIndex(Black);
}

Info forIndex(int index)
{
    if (index == White)
        return {White, QStringLiteral(":/qss/white.qss"), QStringLiteral("#000000"), QStringLiteral(":/qss/whiteIcon/")};
    return {Black, QStringLiteral(":/qss/black.qss"), QStringLiteral("#FFFFFF"), QStringLiteral(":/qss/blackIcon/")};
}

void load()
{
    const QMap<int, QVariant> base = ConfigStore::instance().read(ConfigGroup::Base);
    g_current = forIndex(base.value(BaseKey::InterfaceStyleProperty, 0).toInt());

    QFile file(g_current.styleSheet);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "Failed to load style sheet" << g_current.styleSheet;
        return;
    }
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}

const Info &current()
{
    return g_current;
}

QString icon(const QString &name)
{
    return g_current.iconPrefix + name;
}

bool change(int index)
{
    if (index == g_current.index)
        return false;
    g_current.index = index;
    ConfigStore::instance().write(ConfigGroup::Base, BaseKey::InterfaceStyleProperty, index);
    return true;
}

} // namespace Theme
