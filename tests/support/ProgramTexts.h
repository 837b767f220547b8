#pragma once
// The program texts and the line break the tests compare the boxes' texts against.
#include "texts/Language.h"

#include <QString>

// Boxes break their lines with CR LF.
inline const QString CrLf = QStringLiteral("\r\n");

// Program text `number` in `language`; the tests load the texts once per suite.
inline QString Text(int number, int language = Language::English)
{
    return Language::GetProgramText(number, language);
}
