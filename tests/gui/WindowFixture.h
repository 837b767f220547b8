#pragma once
// The real main window, started as the program starts it: shipped texts in English, an en_US number
// format, an empty clipboard, its working folders under a temporary folder of its own and its boxes
// answered by scripted dialogs.
#include "gui/frmMain.h"
#include "support/ScriptedDialogs.h"
#include "texts/Language.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

template <typename DialogsType = ScriptedDialogs> class WindowFixture : public ::testing::Test {
  public:
    void SetUp() override
    {
        ASSERT_TRUE(workFolder.isValid());
        ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0);
        Language::StoreLanguage(Language::English);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QGuiApplication::clipboard()->clear();
        window = std::make_unique<frmMain>(dialogs, workFolder.path());
        window->Form_Load();
    }

    // A key entered and shown, as the key controls leave it after the key-entry window.
    void EnterKey(const QString& key)
    {
        window->txbQuickKey->setText(key);
        window->UpdateQuickKeyControls();
    }

    void TearDown() override
    {
        QGuiApplication::clipboard()->clear();
        QLocale::setDefault(QLocale::system());
    }

    QTemporaryDir workFolder; // the base of the window's working folders: empty again after every run
    DialogsType dialogs;
    std::unique_ptr<frmMain> window;
};
