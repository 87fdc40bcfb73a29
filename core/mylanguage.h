#pragma once

#include <QMetaType>

// Language of the user interface; the value is stored as the "Language" drawing setting.
enum MyLanguage : int { English = 0, SimplifiedChinese = 1, TraditionalChinese = 2 };

Q_DECLARE_METATYPE(MyLanguage)
