#pragma once
// Qt's own texts (the file dialogs' buttons and labels, the text boxes' context menus) in the
// program's language: Debian's catalogue from qt6-translations-l10n for German, Qt's built-in
// English otherwise.

#include <QTranslator>

#include <memory>

class QtCatalogue {
  public:
    QtCatalogue();
    ~QtCatalogue();
    QtCatalogue(const QtCatalogue&) = delete;
    QtCatalogue& operator=(const QtCatalogue&) = delete;

    // Installs the catalogue of `language` (0 English, 1 German) in place of the one before. False
    // when the German catalogue is not installed: Qt's texts then stay English, the program's own
    // texts are German all the same.
    bool apply(int language);

  private:
    std::unique_ptr<QTranslator> translator;
};
