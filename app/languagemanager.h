#pragma once

#include "mylanguage.h"

#include <QObject>
#include <QTranslator>

// Installs the translations of the chosen user-interface language: the toolkit's own and
// the program's. Widgets retranslate on the resulting language-change event.
class LanguageManager : public QObject
{
    Q_OBJECT
public:
    static LanguageManager &instance();

    // Applies `language` without storing it.
    void apply(MyLanguage language);

    // Stores `language` as the "Language" drawing setting, then applies it.
    void change(MyLanguage language);

    // The stored language (English when none is stored).
    static MyLanguage stored();

    MyLanguage current() const { return m_current; }

signals:
    void languageChanged(MyLanguage language);

private:
    LanguageManager() = default;
    QTranslator m_qtTranslator;
    QTranslator m_appTranslator;
    MyLanguage m_current = English;
};
