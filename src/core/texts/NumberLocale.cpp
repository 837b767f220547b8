#include "texts/NumberLocale.h"

#include "texts/Language.h"

QLocale NumberLocale(int language)
{
    if (language == Language::German)
        return QLocale(QLocale::German, QLocale::Germany);
    return QLocale(QLocale::English, QLocale::UnitedStates);
}
