#pragma once
// Names of the program texts the windows show, one namespace per window, so that a caption reads
// by what it says and the number stands in one place. The pipelines name their own texts beside
// their code (EncryptTexts, DecryptTexts, AppendTexts).

namespace MainWindowTexts {
// Modes and the message area.
constexpr int EncryptOption = 1;
constexpr int DecryptOption = 2;
constexpr int Clear = 6; // the four Clear buttons: text box, both file rows, key
constexpr int ViewCiphertext = 7;
constexpr int LoadFromFile = 8;
constexpr int SaveToFile = 9;
constexpr int Enlarge = 10;
constexpr int TextboxHoldsOne = 11;
constexpr int TextboxHoldsCount = 12; // "2" stands for the count
constexpr int ReadWriteError = 13;    // also the clipboard label when no clipboard can be reached
constexpr int DecryptedMessageHint = 18;
// File rows: cmdSpecifyFile(0) and (1) in encrypt and decrypt mode.
constexpr int FileToAppend = 14;
constexpr int CiphertextFile = 15;
constexpr int OutputFile = 16;
constexpr int FolderForAttachedFile = 17;
constexpr int AllFilesFilter = 48;
constexpr int FileToAppendHint = 80;
constexpr int OutputFileHint = 81;
constexpr int CiphertextFileHint = 82;
constexpr int CiphertextFilter = 88;
constexpr int ChooseCiphertextTitle = 89;
constexpr int FolderPrompt = 394;
// Commands.
constexpr int EncryptCommand = 24;
constexpr int DecryptCommand = 25;
constexpr int Help = 28;
constexpr int Quit = 36;
constexpr int CopyAsText = 453;
constexpr int CopyAsTextHint = 454;
constexpr int CopiedAsText = 455; // the ciphertext is on the clipboard as a text block
// Status line.
constexpr int ClipboardHoldsOne = 26;
constexpr int ClipboardHoldsCount = 27; // "2" stands for the count
constexpr int ClipboardEmpty = 213;
constexpr int MakerName = 310;
// Key group and language.
constexpr int KeyFieldHint = 90;
constexpr int KeyCommand = 110;
constexpr int ShowHiddenKeyQuestion = 115; // followed by a line break and 116
constexpr int ShowHiddenKeyQuestionMore = 116;
constexpr int ShowHiddenKeyTitle = 117;
constexpr int KeyChecksumIs = 136;
constexpr int ClearKeyQuestion = 372;
constexpr int HideKey = 379;
constexpr int ShowKey = 380;
constexpr int NoKeySpecified = 382;
constexpr int LanguageLabel = 187;
constexpr int English = 200;
constexpr int German = 201;
// Text-box tools.
constexpr int LoadTitle = 42;
constexpr int TextboxEmpty = 44;
constexpr int SaveTitle = 45;
constexpr int FileReadError = 46;
constexpr int TooLarge = 49;
constexpr int FileEmpty = 50;
constexpr int NothingTaken = 51;
// Help, web links and quitting.
constexpr int ProgramName = 94;
constexpr int HelpTextVersion = 29;
constexpr int HelpFileMissing = 397;
constexpr int HelpQuestion = 1650; // followed by a blank line and the page's address
constexpr int HelpOpenPageButton = 1651;
constexpr int HelpShowTextButton = 1652;
constexpr int HelpCloseButton = 1653;
constexpr int HelpPage = 350;
constexpr int MakersPage = 351;
constexpr int ClearClipboardQuestion = 177;
constexpr int ClearClipboardTitle = 178;
// Tooltips that say why, and the accessible names and descriptions screen readers announce.
constexpr int SavedAttachedFileHint = 1605; // the second row in decrypt mode, once a file was saved
constexpr int SavedAttachedFile = 1606;
constexpr int ClearMessage = 1607;
constexpr int ClearFileToAttach = 1608;
constexpr int ClearCiphertextFile = 1609;
constexpr int ClearOutputFile = 1610;
constexpr int ClearKey = 1611;
constexpr int LanguageName = 1612;
constexpr int LinkOpens = 1613;
constexpr int WorkStops = 1614;         // the moving bar while a command works
constexpr int TooShortToMeasure = 1615; // why "View randomness" stays grey
constexpr int Message = 1616;
constexpr int KeyHiddenName = 1617;
constexpr int MessageKeys = 1618;         // Tab and Ctrl+Tab in the message box
constexpr int SuggestedOutputName = 1619; // the output chooser's suggestion, before ".zip"
// Sending the latest ciphertext file by e-mail.
constexpr int SendByMail = 1660;
constexpr int SendByMailHint = 1661;
constexpr int SendAsText = 1662;
constexpr int SendAsTextHint = 1663;
// The empty message box says what goes there, in each mode.
constexpr int MessagePlaceholder = 1630;
constexpr int DecryptedMessagePlaceholder = 1631;
constexpr int HelpPageLinkName = 1632; // after the maker's name: where the link leads
} // namespace MainWindowTexts

namespace KeyWindowTexts {
constexpr int Title = 57;
constexpr int Yes = 97;
constexpr int No = 98;
constexpr int Cancel = 184;
constexpr int EnterTheKey = 124;
constexpr int UseThisKey = 127;
constexpr int ChecksumIs = 136;
constexpr int OneCharacterCounted = 102;
constexpr int CharactersCounted = 103; // after the count
constexpr int PasteTooLong = 471;      // followed by the most characters a key may have
constexpr int StrengthBarName = 1633;
} // namespace KeyWindowTexts

namespace LargeTextboxTexts {
constexpr int Title = 425;
constexpr int Save = 426;
constexpr int Cancel = 427;
constexpr int CopyAll = 175;
constexpr int CopySelection = 176;
} // namespace LargeTextboxTexts

namespace RandomnessTexts {
constexpr int Title = 428;
constexpr int Plaintext = 53;
constexpr int Ciphertext = 54;
constexpr int Close = 101;
constexpr int TooShort = 401; // too few bytes to measure
// What a screen reader says for the two pictures.
constexpr int PlaintextPlotName = 1634;
constexpr int CiphertextPlotName = 1635;
constexpr int PlotDescription = 1636;
} // namespace RandomnessTexts

namespace ViewerTexts {
constexpr int Close = 101;
} // namespace ViewerTexts

namespace BoxButtonTexts {
constexpr int Ok = 441;
constexpr int Cancel = 184;
constexpr int Yes = 97;
constexpr int No = 98;
} // namespace BoxButtonTexts
