#include "languagemanager.h"

#include "configstore.h"

#include <QCoreApplication>
#include <QDebug>

LanguageManager &LanguageManager::instance()
{
    static LanguageManager manager;
    return manager;
}

MyLanguage LanguageManager::stored()
{
    const int value = ConfigStore::instance().value(DrawProperty::Language, 0).toInt();
    return value == SimplifiedChinese || value == TraditionalChinese ? MyLanguage(value) : English;
}

void LanguageManager::apply(MyLanguage language)
{
    m_current = language;
    QCoreApplication::removeTranslator(&m_qtTranslator);
    QCoreApplication::removeTranslator(&m_appTranslator);

    QString qtFile;
    QString appFile;
    if (language == SimplifiedChinese) {
        qtFile = QStringLiteral(":/Language/qt_zh_CN.qm");
        appFile = QStringLiteral(":/Language/language_cn.qm");
    } else if (language == TraditionalChinese) {
        qtFile = QStringLiteral(":/Language/qt_zh_TW.qm");
        appFile = QStringLiteral(":/Language/language_tw.qm");
    }
    if (!qtFile.isEmpty()) {
        if (!m_qtTranslator.load(qtFile))
            qWarning() << "Failed to load translation" << qtFile;
        if (!m_appTranslator.load(appFile))
            qWarning() << "Failed to load translation" << appFile;
        QCoreApplication::installTranslator(&m_qtTranslator);
        QCoreApplication::installTranslator(&m_appTranslator);
    }
    emit languageChanged(language);
}

void LanguageManager::change(MyLanguage language)
{
    ConfigStore::instance().write(DrawProperty::Language, int(language));
    apply(language);
}
