#pragma once
// Numbers and sizes are written as the language of the texts around them writes them ("2,051" in an
// English sentence, "2.051" in a German one), whatever the system's locale: a German window on an
// English system would otherwise show English digit groups inside German sentences.
#include <QLocale>

// The locale whose number format goes with program-text language `language` (Language::English or
// Language::German; any other value counts as English).
QLocale NumberLocale(int language);
