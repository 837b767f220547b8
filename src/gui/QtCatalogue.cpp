#include "gui/QtCatalogue.h"

#include "texts/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

QtCatalogue::QtCatalogue() = default;

QtCatalogue::~QtCatalogue()
{
    if (translator)
        QCoreApplication::removeTranslator(translator.get());
}

bool QtCatalogue::apply(int language)
{
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    if (language != Language::German)
        return true;
    auto german = std::make_unique<QTranslator>();
    if (!german->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(german.get());
    translator = std::move(german);
    return true;
}
