#include "format/RandomnessStatistics.h"

#include "engines/toolkit.h"
#include "texts/ByteSize.h"
#include "texts/Language.h"
#include "texts/NumberLocale.h"
#include "texts/WindowTexts.h"

#include <QDir>

namespace {

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

QString SizeText(qint64 n, int language)
{
    return Text(403, language) + QStringLiteral(": ") + FormatByteSize(n, 2, NumberLocale(language));
}

} // namespace

QBitArray BytePairsOf(QByteArrayView data)
{
    QBitArray pairs(256 * 256);
    const qsizetype pairedLength = data.size() - data.size() % 2;
    for (qsizetype i = 0; i < pairedLength; i += 2)
        pairs.setBit(uchar(data[i]) * 256 + uchar(data[i + 1]));
    return pairs;
}

void MeasureAndShowRandomness(RandomnessSide& side, QByteArrayView data, int language)
{
    if (data.size() < MinimumMeasuredLength) {
        side.randomnessText = Text(RandomnessTexts::TooShort, language);
        return;
    }
    side.measure = randomness_measure(data.data(), static_cast<int32_t>(data.size()), MinimumMeasuredLength);
    if (side.measure >= 0) {
        side.randomnessText =
            Text(400, language) + QStringLiteral(": ") + NumberLocale(language).toString(side.measure, 'f', 3);
        side.plotData = BytePairsOf(data);
    } else {
        side.randomnessText = Text(402, language);
    }
}

void ShowPlaintextStatistics(RandomnessReport& report, QByteArrayView plainPackage, int language)
{
    RandomnessSide& side = report.sides[0];
    side.caption = Text(53, language);
    side.sizeText = SizeText(plainPackage.size(), language);
    MeasureAndShowRandomness(side, plainPackage, language);
}

void ShowCiphertextStatistics(RandomnessReport& report, const QString& ciphertextPath, const QByteArray& ciphertext,
                              int language)
{
    RandomnessSide& side = report.sides[1];
    report.windowCaption = Text(54, language) + QStringLiteral(" : ") + QDir::toNativeSeparators(ciphertextPath);
    side.caption = Text(54, language);
    side.sizeText = SizeText(ciphertext.size(), language);
    MeasureAndShowRandomness(side, ciphertext, language);
}
