#include "pipeline/Failure.h"

#include "engines/CipherEngine.h"
#include "pipeline/DecryptPipeline.h"
#include "texts/Language.h"

#include <QDir>
#include <QFileInfo>

Failure& Failure::At(const QString& path, Place place)
{
    path_ = path;
    place_ = place;
    return *this;
}

Failure& Failure::Because(const QString& cause)
{
    cause_ = cause;
    return *this;
}

Failure& Failure::Because(std::vector<int> causeTexts)
{
    causeTexts_ = std::move(causeTexts);
    return *this;
}

QString Failure::Message(int language) const
{
    const QString crLf = QStringLiteral("\r\n");
    QString message = Language::GetProgramText(text_, language);
    if (!path_.isEmpty()) {
        const QString place = place_ == Place::Folder ? QFileInfo(path_).absolutePath() : path_;
        message += ' ' + QDir::toNativeSeparators(place) + ':';
    }
    if (!cause_.isEmpty())
        message += crLf + cause_;
    for (const int causeText : causeTexts_)
        message += crLf + Language::GetProgramText(causeText, language);
    return message;
}

std::vector<int> EngineCauseTexts(int engineResult)
{
    using namespace DecryptTexts;
    switch (engineResult) {
    case cipher_result::kNotABody:
        return {NotOurFile, NewerVersion};
    case cipher_result::kWrongKey:
    case cipher_result::kKeyNotDerivable:
    case cipher_result::kReserved:
        return {WrongKey};
    case cipher_result::kDamagedChunk:
    case cipher_result::kTruncated:
    case cipher_result::kMalformed:
        return {DamagedOrCut};
    default:
        return {IoOrMemoryError};
    }
}

QStringList EngineCauseLines(int engineResult, int language)
{
    QStringList lines;
    for (const int text : EngineCauseTexts(engineResult))
        lines << Language::GetProgramText(text, language);
    return lines;
}
