#pragma once
// Access keys for the captions of one window: Alt plus the underlined letter presses a command. Each
// caption gets a letter no other caption of the window has, in either language, so that no two
// commands share one.

#include <QString>
#include <QStringList>

namespace Mnemonics {

// The captions with one letter each marked by '&' (Qt's mark for the underlined access key). Earlier
// captions are served first and get the first letter of a word where they can; a caption gives up
// its letter only when a later one has no other left. A caption with no free letter stays unmarked.
// A literal '&' in a caption is doubled, so it still shows.
QStringList Mark(const QStringList& captions);

// The caption as it reads on the screen: the marks taken out, a doubled '&' single again.
QString Plain(const QString& marked);

} // namespace Mnemonics
