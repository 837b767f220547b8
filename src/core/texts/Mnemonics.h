#pragma once
// Access keys for the captions of one window: Alt plus the underlined letter presses a command. Each
// caption gets a letter no other caption of the window has, in either language, so that no two
// commands share one.

#include <QString>
#include <QStringList>

namespace Mnemonics {

// The captions with one letter each marked by '&' (Qt's mark for the underlined access key). As many
// captions as can be get a letter; earlier captions come first and keep the letter their text already
// marks, else the first letter of a word, where they can; later ones take what is left. A caption with
// no free letter stays unmarked. Captions are read as Qt reads them: "&&" is a literal '&'.
QStringList Mark(const QStringList& captions);

// The caption as it reads on the screen: the marks taken out, a doubled '&' single again.
QString Plain(const QString& marked);

} // namespace Mnemonics
