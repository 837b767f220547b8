#include "mail/MailDraft.h"

#include "texts/Language.h"

#include <QFile>

namespace Mail {

namespace {

bool StandsAsItIs(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '@' || c == '.' ||
           c == '-' || c == '/';
}

QByteArray PercentEncoded(const QByteArray& bytes)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        if (StandsAsItIs(c)) {
            encoded += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += Hex[byte >> 4];
        encoded += Hex[byte & 0x0F];
    }
    return encoded;
}

// A text field: its line breaks are CR LF in an address (RFC 6068), whatever the text had.
QByteArray TextField(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return PercentEncoded(lines.toUtf8());
}

} // namespace

Draft WithAttachment(const QString& ciphertextPath, int language)
{
    return {Language::GetProgramText(MailTexts::Subject, language),
            Language::GetProgramText(MailTexts::AttachmentNote, language), ciphertextPath};
}

Draft WithTextBlock(const QByteArray& armoredBlock, int language)
{
    const QString note = Language::GetProgramText(MailTexts::TextBlockNote, language);
    return {Language::GetProgramText(MailTexts::Subject, language),
            note + QLatin1String("\n\n") + QString::fromLatin1(armoredBlock), QString()};
}

bool FitsInBody(const QByteArray& armoredBlock)
{
    return armoredBlock.size() <= MaxBodyBlockBytes;
}

QByteArray MailtoUri(const Draft& draft)
{
    QByteArray uri = "mailto:?subject=" + TextField(draft.subject) + "&body=" + TextField(draft.body);
    if (!draft.attachment.isEmpty())
        uri += "&attach=" + PercentEncoded(QFile::encodeName(draft.attachment));
    return uri;
}

} // namespace Mail
