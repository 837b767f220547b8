#include "keys/KeyStrength.h"

#include "keys/KeyRoutines.h"
#include "texts/Language.h"

#include <zxcvbn.h>

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <map>

namespace Keys {

namespace {

constexpr double Log10Of2 = 0.30102999566398120;

// The rating for a number of guesses, as a power of ten. At two guesses a second on each of a
// thousand machines, 10^6 guesses take minutes, 10^10 two months, 10^12 sixteen years.
StrengthRating RatingFor(double log10Guesses)
{
    if (log10Guesses < 6)
        return StrengthRating::VeryWeak;
    if (log10Guesses < 10)
        return StrengthRating::Weak;
    if (log10Guesses < 12)
        return StrengthRating::Fair;
    if (log10Guesses < 16)
        return StrengthRating::Strong;
    return StrengthRating::VeryStrong;
}

WeaknessReason ReasonFor(ZxcTypeMatch_t type)
{
    switch (static_cast<ZxcTypeMatch_t>(type & ~MULTIPLE_MATCH)) {
    case REPEATS_MATCH:
        return WeaknessReason::Repeats;
    case SEQUENCE_MATCH:
        return WeaknessReason::Sequence;
    case SPATIAL_MATCH:
        return WeaknessReason::KeyboardPattern;
    case DICTIONARY_MATCH:
    case DICT_LEET_MATCH:
    case USER_MATCH:
    case USER_LEET_MATCH:
        return WeaknessReason::CommonWords;
    case DATE_MATCH:
    case YEAR_MATCH:
        return WeaknessReason::Date;
    default:
        return WeaknessReason::FewCharacters;
    }
}

// The pattern that covers the most characters of the key names the reason. A multiple match
// (a part repeated) counts its repetitions too.
WeaknessReason DominantReason(const ZxcMatch_t* matches)
{
    std::map<WeaknessReason, int> covered;
    for (const ZxcMatch_t* match = matches; match; match = match->Next)
        covered[ReasonFor(match->Type)] += match->Length;
    if ((matches && !matches->Next && (matches->Type & MULTIPLE_MATCH)))
        return WeaknessReason::Repeats;
    const auto widest = std::max_element(covered.begin(), covered.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return widest == covered.end() ? WeaknessReason::FewCharacters : widest->first;
}

QString Placed(int number, const QString& value, int language)
{
    QString text = Language::GetProgramText(number, language);
    const qsizetype at = text.indexOf(QLatin1Char('2'));
    if (at >= 0)
        text.replace(at, 1, value);
    return text;
}

} // namespace

KeyStrength EstimateKeyStrength(const QString& key)
{
    // Case and spaces do not count, so the attacker tries neither: estimate the key as it is used,
    // folded to the lower case that the estimator's word lists hold.
    QString normalized = NormalizeKey(key);
    QString folded = normalized.toLower();
    QByteArray bytes = folded.toUtf8();
    WipeString(normalized);
    WipeString(folded);

    KeyStrength strength;
    if (bytes.isEmpty()) {
        strength.reason = WeaknessReason::FewCharacters;
        return strength;
    }
    ZxcMatch_t* matches = nullptr;
    const double bits = ZxcvbnMatch(bytes.constData(), nullptr, &matches);
    WipeBytes(bytes);
    strength.log10Guesses = std::max(0.0, bits * Log10Of2);
    strength.rating = RatingFor(strength.log10Guesses);
    strength.reason = IsWeak(strength) ? DominantReason(matches) : WeaknessReason::None;
    ZxcvbnFreeInfo(matches);
    return strength;
}

bool IsWeak(const KeyStrength& strength)
{
    return strength.rating < WeakestUnquestioned;
}

QString StrengthRatingText(StrengthRating rating, int language)
{
    return Language::GetProgramText(KeyStrengthTexts::RatingVeryWeak + static_cast<int>(rating), language);
}

QString WeaknessReasonText(WeaknessReason reason, int language)
{
    if (reason == WeaknessReason::None)
        return {};
    return Language::GetProgramText(KeyStrengthTexts::ReasonRepeats + static_cast<int>(reason) - 1, language);
}

QString DurationText(double seconds, int language)
{
    struct Unit {
        double seconds;
        int text;
    };
    static constexpr Unit units[] = {{365.25 * 86400, KeyStrengthTexts::Years},
                                     {86400, KeyStrengthTexts::Days},
                                     {3600, KeyStrengthTexts::Hours},
                                     {60, KeyStrengthTexts::Minutes}};
    if (seconds >= 1e6 * units[0].seconds)
        return Language::GetProgramText(KeyStrengthTexts::BeyondMillionYears, language);
    for (const Unit& unit : units) {
        if (seconds >= unit.seconds) {
            const auto count = static_cast<long long>(std::floor(seconds / unit.seconds));
            return Placed(unit.text, QString::number(count), language);
        }
    }
    return Language::GetProgramText(KeyStrengthTexts::LessThanAMinute, language);
}

QString GuessTimeText(const KeyStrength& strength, int language)
{
    const double seconds = std::pow(10.0, strength.log10Guesses) * SecondsPerGuess;
    const QString exponent = QString::number(static_cast<int>(std::lround(strength.log10Guesses)));
    return Placed(KeyStrengthTexts::AboutGuesses, exponent, language) + QStringLiteral(": ") +
           DurationText(seconds, language) + QLatin1Char(' ') +
           Language::GetProgramText(KeyStrengthTexts::OnOneMachine, language) + QStringLiteral("; ") +
           DurationText(seconds / AttackerMachines, language) + QLatin1Char(' ') +
           Language::GetProgramText(KeyStrengthTexts::ForAThousandMachines, language);
}

} // namespace Keys
