#include "keys/KeyGenerator.h"
#include "keys/KeyRoutines.h"
#include "keys/KeyStrength.h"
#include "texts/Language.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

using Keys::StrengthRating;
using Keys::WeaknessReason;

struct StrengthCase {
    const char* name;
    const char* key;
    StrengthRating highest; // the estimate may be lower, never higher
    StrengthRating lowest;
    WeaknessReason reason; // for a weak key: what the question names
};

class KeyStrengthTable : public ::testing::TestWithParam<StrengthCase> {};

TEST_P(KeyStrengthTable, RatesTheKeyAsAnAttackerWouldTryIt)
{
    const StrengthCase& c = GetParam();
    const Keys::KeyStrength strength = Keys::EstimateKeyStrength(QString::fromUtf8(c.key));
    EXPECT_LE(strength.rating, c.highest) << strength.log10Guesses;
    EXPECT_GE(strength.rating, c.lowest) << strength.log10Guesses;
    EXPECT_EQ(static_cast<int>(strength.reason), static_cast<int>(c.reason));
    EXPECT_EQ(Keys::IsWeak(strength), c.reason != WeaknessReason::None);
}

// Every key here passes the length rule of 16 significant characters.
INSTANTIATE_TEST_SUITE_P(
    Keys, KeyStrengthTable,
    ::testing::Values(StrengthCase{"RepeatedCharacter", "aaaaaaaaaaaaaaaa", StrengthRating::VeryWeak,
                                   StrengthRating::VeryWeak, WeaknessReason::Repeats},
                      StrengthCase{"RepeatedWord", "passwordpassword", StrengthRating::VeryWeak,
                                   StrengthRating::VeryWeak, WeaknessReason::Repeats},
                      // A walk this common is in the estimator's list of passwords.
                      StrengthCase{"CommonKeyboardWalk", "qwertyuiopasdfgh", StrengthRating::VeryWeak,
                                   StrengthRating::VeryWeak, WeaknessReason::CommonWords},
                      StrengthCase{"KeyboardWalk", "1qaz2wsx3edc4rfv", StrengthRating::Weak, StrengthRating::VeryWeak,
                                   WeaknessReason::KeyboardPattern},
                      StrengthCase{"Sequence", "abcdefghijklmnop", StrengthRating::VeryWeak, StrengthRating::VeryWeak,
                                   WeaknessReason::Sequence},
                      StrengthCase{"CommonWordThenDigits", "password12345678", StrengthRating::VeryWeak,
                                   StrengthRating::VeryWeak, WeaknessReason::CommonWords},
                      StrengthCase{"CommonPhrase", "i love you my darling", StrengthRating::Weak,
                                   StrengthRating::VeryWeak, WeaknessReason::CommonWords},
                      // Case and spaces do not count: the capitals and gaps of the same phrase gain nothing.
                      StrengthCase{"CommonPhraseInCapitals", "I LOVE YOU MY DARLING", StrengthRating::Weak,
                                   StrengthRating::VeryWeak, WeaknessReason::CommonWords},
                      StrengthCase{"FourWordsAndAYear", "Violets are blue, 1984 miles", StrengthRating::VeryStrong,
                                   StrengthRating::Strong, WeaknessReason::None},
                      StrengthCase{"RandomCharacters", "k7px 3mqr 9dwh 2gzt 4nbe", StrengthRating::VeryStrong,
                                   StrengthRating::VeryStrong, WeaknessReason::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeySuggestion, PassesTheKeyRulesWithItsStatedBitsAndDiffersEachTime)
{
    const QString alphabet = QString::fromLatin1(Keys::SuggestionAlphabet);
    QSet<QString> seen;
    for (int i = 0; i < 200; ++i) {
        const QString key = Keys::SuggestKey();
        const QString used = Keys::NormalizeKey(key);
        ASSERT_EQ(used.size() * 5, Keys::SuggestionBits) << key.toStdString();
        EXPECT_GE(Keys::SuggestionBits, 90);
        EXPECT_GE(Keys::SignificantLength(key), Keys::MinKeyLength);
        EXPECT_LE(key.size(), Keys::MaxKeyLength);
        // Nothing is lost to normalisation: every character already is what the key uses.
        EXPECT_EQ(used, QString(key).remove(QLatin1Char(' ')));
        EXPECT_EQ(Keys::PrepareAcceptedKey(key), key);
        for (QChar c : used)
            ASSERT_TRUE(alphabet.contains(c)) << key.toStdString();
        seen.insert(key);
        EXPECT_FALSE(Keys::IsWeak(Keys::EstimateKeyStrength(key))) << key.toStdString();
    }
    EXPECT_EQ(seen.size(), 200);
}

TEST(KeySuggestion, AlphabetHasNoLookAlikes)
{
    const QString alphabet = QString::fromLatin1(Keys::SuggestionAlphabet);
    EXPECT_EQ(alphabet.size(), 32);
    for (QChar lookAlike : QStringLiteral("01IO"))
        EXPECT_FALSE(alphabet.contains(lookAlike)) << lookAlike.toLatin1();
    EXPECT_EQ(QSet<QChar>(alphabet.begin(), alphabet.end()).size(), 32);
}

class KeyStrengthTexts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }
};

TEST_F(KeyStrengthTexts, DurationsInWordsInBothLanguages)
{
    constexpr double minute = 60, hour = 3600, day = 86400, year = 365.25 * day;
    struct Row {
        double seconds;
        const char* english;
        const char* german;
    };
    const Row rows[] = {{59, "less than a minute", "weniger als eine Minute"},
                        {3 * minute + 5, "3 minutes", "3 Minuten"},
                        {5 * hour, "5 hours", "5 Stunden"},
                        {40 * day, "40 days", "40 Tage"},
                        {15.9 * year, "15 years", "15 Jahre"},
                        {2e6 * year, "more than a million years", "mehr als eine Million Jahre"}};
    for (const Row& row : rows) {
        EXPECT_EQ(Keys::DurationText(row.seconds, Language::English).toStdString(), row.english);
        EXPECT_EQ(Keys::DurationText(row.seconds, Language::German).toStdString(), row.german);
    }
}

TEST_F(KeyStrengthTexts, GuessesAndTimesForOneMachineAndAThousand)
{
    Keys::KeyStrength strength;
    strength.log10Guesses = 9; // 5e8 s on one machine, 5e5 s for a thousand
    EXPECT_EQ(Keys::GuessTimeText(strength, Language::English).toStdString(),
              "about 10^9 guesses: 15 years at one guess per half second on one machine; 5 days for an attacker "
              "with a thousand machines.");
    EXPECT_EQ(Keys::StrengthRatingText(StrengthRating::Fair, Language::German).toStdString(), "Stärke: mittel");
    EXPECT_EQ(Keys::WeaknessReasonText(WeaknessReason::KeyboardPattern, Language::English).toStdString(),
              "it follows a pattern on the keyboard.");
    EXPECT_TRUE(Keys::WeaknessReasonText(WeaknessReason::None, Language::English).isEmpty());
}

} // namespace
