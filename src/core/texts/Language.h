#pragma once
// Program texts: every caption, tooltip and message is a numbered text in English (0) or German (1),
// loaded once from zeb.dat in the program folder through the toolkit's lt / gt.

#include <QString>

namespace Language {

constexpr int English = 0;
constexpr int German = 1;
constexpr int NotChosen = -1;

// The full path of zeb.dat in programFolder, as LoadProgramTexts reads it.
QString ProgramTextFilePath(const QString& programFolder);
// Loads zeb.dat from programFolder; returns lt's result (positive on success).
int LoadProgramTexts(const QString& programFolder);
// The loader's message for a failed result (fixed English wording), e.g. "File is empty.".
QString LoadFailureMessage(int result, const QString& fullPath);
// Text `number` in `language`; "" when it is missing or stored as "~".
QString GetProgramText(int number, int language);
// The language to start with: the stored choice when it is German, else English.
int ChooseLanguage();
// Stores the code of `language` ("EN" / "DE") as the setting "Language".
void StoreLanguage(int language);

} // namespace Language
