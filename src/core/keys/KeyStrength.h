#pragma once
// How hard a key is to guess, as an attacker holding a ciphertext file would try it: on the key as it
// is used (its significant characters, case folded), with the zxcvbn estimator. Every guess costs
// the attacker one key derivation, so the estimate is shown as a number of guesses and the time
// they take at the default derivation level.

#include <QString>

// Program texts of the strength estimate and the key suggestion.
namespace KeyStrengthTexts {
constexpr int RatingVeryWeak = 900; // 900..904: very weak, weak, fair, strong, very strong
constexpr int AboutGuesses = 905;   // "about 10^2 guesses"
constexpr int OnOneMachine = 906;
constexpr int ForAThousandMachines = 907;
constexpr int LessThanAMinute = 908;
constexpr int Minutes = 909; // 909..912: "2 minutes", hours, days, years
constexpr int Hours = 910;
constexpr int Days = 911;
constexpr int Years = 912;
constexpr int BeyondMillionYears = 913;
constexpr int WeakKeyQuestion = 914; // "This key is weak:" ... reason ... WeakKeyConsequence
constexpr int WeakKeyConsequence = 915;
constexpr int ReasonRepeats = 916; // 916..921 in the order of WeaknessReason
constexpr int SuggestKey = 922;
constexpr int SuggestedKeyReminder = 923;
constexpr int WeakKeyWarning = 924;
constexpr int NoRandomSource = 925;
} // namespace KeyStrengthTexts

namespace Keys {

// From hopeless to beyond reach, by the number of guesses the estimator expects.
enum class StrengthRating { VeryWeak, Weak, Fair, Strong, VeryStrong };

// What makes a key easy to guess: the kind of pattern that covers most of it.
enum class WeaknessReason { None, Repeats, Sequence, KeyboardPattern, CommonWords, Date, FewCharacters };

struct KeyStrength {
    double log10Guesses = 0; // the estimator's guesses, as a power of ten
    StrengthRating rating = StrengthRating::VeryWeak;
    WeaknessReason reason = WeaknessReason::None;
};

// Keys rated at most this are accepted only after the user confirmed them once.
constexpr StrengthRating WeakestUnquestioned = StrengthRating::Fair;
// One derivation at the default level takes about half a second on one machine.
constexpr double SecondsPerGuess = 0.5;
// The attacker the estimate is also given for.
constexpr double AttackerMachines = 1000;

// The estimate for a key as typed; "" is very weak.
KeyStrength EstimateKeyStrength(const QString& key);
// True when accepting the key should be confirmed first.
bool IsWeak(const KeyStrength& strength);

// The rating in words ("Strength: fair"), in the program's language.
QString StrengthRatingText(StrengthRating rating, int language);
// "about 10^9 guesses: 15 years at one guess per half second on one machine; 6 days for an
// attacker with a thousand machines."
QString GuessTimeText(const KeyStrength& strength, int language);
// The reason in words, e.g. "it follows a keyboard pattern."; "" for None.
QString WeaknessReasonText(WeaknessReason reason, int language);
// A duration in words: "less than a minute", "3 hours", "12 years", "more than a million years".
QString DurationText(double seconds, int language);

} // namespace Keys
