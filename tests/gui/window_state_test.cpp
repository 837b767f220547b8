// What each control of the main window shows for a state of the window. The expectations are the
// window's rules as a user meets them, not read off the code:
// - Encrypt is offered in encrypt mode, Decrypt in decrypt mode; Load only in encrypt mode (the
//   decrypted message is read-only); Save, Enlarge and Clear only while the text box holds text.
// - A file row's Clear shows only while the row holds a path; in decrypt mode the second row has no
//   button and no Clear: it only says what became of an attached file, and only once one came.
// - With a key, Show/Hide and Clear key show and "no key" does not; Show while the key is hidden.
// - The randomness view is offered in encrypt mode for a measured latest ciphertext; a grey view
//   button says why when the message was too short to measure. Copy as text is offered in encrypt
//   mode while the latest ciphertext is held.
// - While a command runs, only Stop and Quit can be pressed; the busy line names the command, or
//   says "Stopping" once Stop was pressed (Stop is then grey); the moving bar and Stop show only then.
#include "gui/MainWindowState.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"
#include "texts/WindowTexts.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace MainWindowTexts;

std::vector<std::pair<std::string, ControlView>> Controls(const MainWindowView& v)
{
    return {{"optEncrypt", v.optEncrypt},
            {"optDecrypt", v.optDecrypt},
            {"txbText", v.txbText},
            {"cmdLoadSaveTextbox0", v.cmdLoadSaveTextbox[0]},
            {"cmdLoadSaveTextbox1", v.cmdLoadSaveTextbox[1]},
            {"cmdEnlargeTextbox", v.cmdEnlargeTextbox},
            {"cmdClearTextbox", v.cmdClearTextbox},
            {"cmdSpecifyFile0", v.cmdSpecifyFile[0]},
            {"txbFile0", v.txbFile[0]},
            {"cmdClearFile0", v.cmdClearFile[0]},
            {"cmdSpecifyFile1", v.cmdSpecifyFile[1]},
            {"txbFile1", v.txbFile[1]},
            {"cmdClearFile1", v.cmdClearFile[1]},
            {"cmdQuickKey", v.cmdQuickKey},
            {"txbQuickKey", v.txbQuickKey},
            {"cmdHideShowQuickKey", v.cmdHideShowQuickKey},
            {"cmdClearQuickKey", v.cmdClearQuickKey},
            {"cboLanguage", v.cboLanguage},
            {"cmdEncryptMessage", v.cmdEncryptMessage},
            {"cmdDecryptMessage", v.cmdDecryptMessage},
            {"cmdViewCiphertext", v.cmdViewCiphertext},
            {"cmdCopyAsText", v.cmdCopyAsText},
            {"cmdSendByMail", v.cmdSendByMail},
            {"cmdSendAsText", v.cmdSendAsText},
            {"cmdHelp", v.cmdHelp},
            {"cmdQuit", v.cmdQuit},
            {"cmdStop", v.cmdStop},
            {"lblTavolan", v.lblTavolan}};
}

// Controls and labels that come and go; the rest always show.
std::vector<std::pair<std::string, ControlView>> Optional(const MainWindowView& v)
{
    return {{"Frame1", v.Frame1},
            {"cmdSpecifyFile1", v.cmdSpecifyFile[1]},
            {"lblAppendedFile", v.lblAppendedFile},
            {"cmdClearFile0", v.cmdClearFile[0]},
            {"cmdClearFile1", v.cmdClearFile[1]},
            {"cmdHideShowQuickKey", v.cmdHideShowQuickKey},
            {"cmdClearQuickKey", v.cmdClearQuickKey},
            {"lblNoKeySpecified", v.lblNoKeySpecified},
            {"prgWork", v.prgWork},
            {"cmdStop", v.cmdStop}};
}

std::set<std::string> Words(const char* text)
{
    std::istringstream in(text);
    std::set<std::string> words;
    for (std::string word; in >> word;)
        words.insert(word);
    return words;
}

std::string Joined(const std::set<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += word + ' ';
    return text;
}

struct Case {
    const char* name;
    WindowMode mode;
    KeyState key;
    RunStage stage;
    bool textEmpty;
    bool filesNamed; // both rows of the mode hold a path
    bool ciphertextHeld;
    CiphertextView view;
    AttachedFileFate fate;
    // Expected: the controls a user can press or type into (enabled and shown) ...
    const char* usable;
    // ... the controls and labels that come and go, shown ...
    const char* shown;
    // ... and the captions and tooltips that carry the state (0: none).
    int busyLine;
    int hideShowCaption;
    int rowCaption; // lblAppendedFile, while shown
    int viewTooltip;
};

constexpr const char* AlwaysUsable = "optEncrypt optDecrypt txbText cmdSpecifyFile0 txbFile0 cmdQuickKey txbQuickKey "
                                     "cboLanguage cmdHelp cmdQuit lblTavolan ";

const Case Cases[] = {
    {"EncryptFreshWindow", WindowMode::Encrypt, KeyState::None, RunStage::Idle, true, false, false,
     CiphertextView::None, AttachedFileFate::None, "cmdLoadSaveTextbox0 cmdSpecifyFile1 txbFile1 cmdEncryptMessage",
     "Frame1 cmdSpecifyFile1 lblNoKeySpecified", 0, HideKey, 0, 0},
    {"EncryptReadyWithMeasuredCiphertext", WindowMode::Encrypt, KeyState::Shown, RunStage::Idle, false, true, true,
     CiphertextView::Measured, AttachedFileFate::None,
     "cmdLoadSaveTextbox0 cmdLoadSaveTextbox1 cmdEnlargeTextbox cmdClearTextbox cmdClearFile0 cmdSpecifyFile1 "
     "txbFile1 cmdClearFile1 cmdHideShowQuickKey cmdClearQuickKey cmdEncryptMessage cmdViewCiphertext cmdCopyAsText",
     "Frame1 cmdSpecifyFile1 cmdClearFile0 cmdClearFile1 cmdHideShowQuickKey cmdClearQuickKey", 0, HideKey, 0, 0},
    {"EncryptHiddenKeyCiphertextTooShortToMeasure", WindowMode::Encrypt, KeyState::Hidden, RunStage::Idle, false, false,
     true, CiphertextView::TooShort, AttachedFileFate::None,
     "cmdLoadSaveTextbox0 cmdLoadSaveTextbox1 cmdEnlargeTextbox cmdClearTextbox cmdSpecifyFile1 txbFile1 "
     "cmdHideShowQuickKey cmdClearQuickKey cmdEncryptMessage cmdCopyAsText",
     "Frame1 cmdSpecifyFile1 cmdHideShowQuickKey cmdClearQuickKey", 0, ShowKey, 0, TooShortToMeasure},
    {"EncryptViewRetiredByNewKeyCopyStays", WindowMode::Encrypt, KeyState::Shown, RunStage::Idle, false, false, true,
     CiphertextView::None, AttachedFileFate::None,
     "cmdLoadSaveTextbox0 cmdLoadSaveTextbox1 cmdEnlargeTextbox cmdClearTextbox cmdSpecifyFile1 txbFile1 "
     "cmdHideShowQuickKey cmdClearQuickKey cmdEncryptMessage cmdCopyAsText",
     "Frame1 cmdSpecifyFile1 cmdHideShowQuickKey cmdClearQuickKey", 0, HideKey, 0, 0},
    {"DecryptOffersNoCiphertextOfEncryptMode", WindowMode::Decrypt, KeyState::Shown, RunStage::Idle, true, true, true,
     CiphertextView::Measured, AttachedFileFate::None,
     "cmdClearFile0 cmdHideShowQuickKey cmdClearQuickKey "
     "cmdDecryptMessage",
     "cmdClearFile0 cmdHideShowQuickKey cmdClearQuickKey", 0, HideKey, 0, 0},
    {"DecryptAttachedFileSaved", WindowMode::Decrypt, KeyState::Shown, RunStage::Idle, false, true, false,
     CiphertextView::None, AttachedFileFate::Saved,
     "cmdLoadSaveTextbox1 cmdEnlargeTextbox cmdClearTextbox cmdClearFile0 txbFile1 cmdHideShowQuickKey "
     "cmdClearQuickKey cmdDecryptMessage",
     "Frame1 lblAppendedFile cmdClearFile0 cmdHideShowQuickKey cmdClearQuickKey", 0, HideKey, DecryptTexts::SavedAs, 0},
    {"DecryptAttachedFileNotSaved", WindowMode::Decrypt, KeyState::Hidden, RunStage::Idle, false, false, false,
     CiphertextView::None, AttachedFileFate::NotSaved,
     "cmdLoadSaveTextbox1 cmdEnlargeTextbox cmdClearTextbox txbFile1 cmdHideShowQuickKey cmdClearQuickKey "
     "cmdDecryptMessage",
     "Frame1 lblAppendedFile cmdHideShowQuickKey cmdClearQuickKey", 0, ShowKey, DecryptTexts::NotSaved, 0},
    {"DecryptAttachedFileCouldNotBeSaved", WindowMode::Decrypt, KeyState::Shown, RunStage::Idle, false, false, false,
     CiphertextView::None, AttachedFileFate::CouldNotSave,
     "cmdLoadSaveTextbox1 cmdEnlargeTextbox cmdClearTextbox txbFile1 cmdHideShowQuickKey cmdClearQuickKey "
     "cmdDecryptMessage",
     "Frame1 lblAppendedFile cmdHideShowQuickKey cmdClearQuickKey", 0, HideKey, DecryptTexts::CouldNotSave, 0},
    {"EncryptRunning", WindowMode::Encrypt, KeyState::Shown, RunStage::Running, false, true, true,
     CiphertextView::Measured, AttachedFileFate::None, "cmdStop",
     "Frame1 cmdSpecifyFile1 cmdClearFile0 cmdClearFile1 cmdHideShowQuickKey cmdClearQuickKey prgWork cmdStop",
     EncryptTexts::Busy, HideKey, 0, 0},
    {"EncryptStopping", WindowMode::Encrypt, KeyState::Hidden, RunStage::Stopping, false, false, false,
     CiphertextView::None, AttachedFileFate::None, "",
     "Frame1 cmdSpecifyFile1 cmdHideShowQuickKey cmdClearQuickKey prgWork cmdStop", RunTexts::Stopping, ShowKey, 0, 0},
    {"DecryptRunningAsksForFolder", WindowMode::Decrypt, KeyState::Shown, RunStage::Running, false, true, false,
     CiphertextView::None, AttachedFileFate::AskingFolder, "cmdStop",
     "Frame1 lblAppendedFile cmdClearFile0 cmdHideShowQuickKey cmdClearQuickKey prgWork cmdStop", DecryptTexts::Busy,
     HideKey, DecryptTexts::FolderCaption, 0},
    {"DecryptStoppingWithEmptyText", WindowMode::Decrypt, KeyState::Shown, RunStage::Stopping, true, false, false,
     CiphertextView::None, AttachedFileFate::None, "", "cmdHideShowQuickKey cmdClearQuickKey prgWork cmdStop",
     RunTexts::Stopping, HideKey, 0, 0},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class WindowStateTest : public ::testing::TestWithParam<Case> {};

TEST_P(WindowStateTest, EveryControlShowsWhatTheStateMeans)
{
    const Case& c = GetParam();
    MainWindowState state;
    state.mode = c.mode;
    state.key = c.key;
    state.stage = c.stage;
    state.runningCommand = c.mode;
    state.textEmpty = c.textEmpty;
    if (c.filesNamed) {
        state.File(0) = QStringLiteral("/home/ann/first");
        state.File(1) = QStringLiteral("/home/ann/second");
    }
    state.ciphertextHeld = c.ciphertextHeld;
    state.view = c.view;
    state.fate = c.fate;
    const MainWindowView view = DeriveView(state);

    std::set<std::string> usable;
    for (const auto& [name, control] : Controls(view))
        if (control.enabled && control.visible)
            usable.insert(name);
    std::set<std::string> expectedUsable = Words(c.usable);
    if (c.stage == RunStage::Idle)
        expectedUsable.merge(Words(AlwaysUsable));
    else if (c.stage == RunStage::Running || c.stage == RunStage::Stopping)
        expectedUsable.insert("cmdQuit");
    EXPECT_EQ(Joined(usable), Joined(expectedUsable));

    std::set<std::string> shown;
    for (const auto& [name, control] : Optional(view))
        if (control.visible)
            shown.insert(name);
    EXPECT_EQ(Joined(shown), Joined(Words(c.shown)));

    EXPECT_EQ(view.txbQuickKey.caption, c.busyLine);
    EXPECT_EQ(view.cmdHideShowQuickKey.caption, c.hideShowCaption);
    if (view.lblAppendedFile.visible)
        EXPECT_EQ(view.lblAppendedFile.caption, c.rowCaption);
    else
        EXPECT_EQ(0, c.rowCaption) << "the row was expected to say what became of the file";
    EXPECT_EQ(view.cmdViewCiphertext.tooltip, c.viewTooltip);
    EXPECT_EQ(view.textReadOnly, c.mode == WindowMode::Decrypt);
    EXPECT_EQ(view.cmdSpecifyFile[0].caption, c.mode == WindowMode::Encrypt ? FileToAppend : CiphertextFile);
    // The commands carry the key's checksum exactly while a key is set.
    EXPECT_EQ(view.cmdEncryptMessage.tooltip, c.key == KeyState::None ? 0 : KeyChecksumIs);
}

// Send by e-mail and Send as text: in encrypt mode while the latest ciphertext file is there, not
// while a mail program is being started (one click, one e-mail), not while a command runs.
TEST(SendCommandsTest, OfferedWhileTheLatestCiphertextFileExists)
{
    const struct {
        WindowMode mode;
        bool fileExists;
        bool mailStarting;
        RunStage stage;
        bool offered;
    } cases[] = {
        {WindowMode::Encrypt, true, false, RunStage::Idle, true},
        {WindowMode::Encrypt, false, false, RunStage::Idle, false},
        {WindowMode::Encrypt, true, true, RunStage::Idle, false},
        {WindowMode::Encrypt, true, false, RunStage::Running, false},
        {WindowMode::Encrypt, true, false, RunStage::Stopping, false},
        {WindowMode::Decrypt, true, false, RunStage::Idle, false},
    };
    for (const auto& c : cases) {
        MainWindowState state;
        state.mode = c.mode;
        state.runningCommand = c.mode;
        state.ciphertextFileExists = c.fileExists;
        state.mailStarting = c.mailStarting;
        state.stage = c.stage;
        const MainWindowView view = DeriveView(state);
        for (const ControlView& command : {view.cmdSendByMail, view.cmdSendAsText}) {
            // They stand in the output file's row, which decrypt mode gives to the attached file's folder.
            EXPECT_EQ(command.visible, c.mode == WindowMode::Encrypt);
            EXPECT_EQ(command.enabled, c.offered) << int(c.mode) << c.fileExists << c.mailStarting << int(c.stage);
        }
        EXPECT_EQ(view.cmdSendByMail.caption, SendByMail);
        EXPECT_EQ(view.cmdSendAsText.caption, SendAsText);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowStateTest, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
