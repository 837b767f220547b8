#include "engines/toolkit.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <sodium.h>

namespace {

constexpr int16_t MinimumLength = 64;

double Measure(const QByteArray& bytes)
{
    return randomness_measure(bytes.constData(), int32_t(bytes.size()), MinimumLength);
}

QByteArray SodiumRandomBytes(qsizetype length)
{
    EXPECT_GE(sodium_init(), 0);
    QByteArray bytes(length, '\0');
    randombytes_buf(bytes.data(), size_t(bytes.size()));
    return bytes;
}

} // namespace

TEST(RandomnessMeasure, OneRepeatedByteScoresZero)
{
    EXPECT_NEAR(Measure(QByteArray(65536, 'A')), 0.0, 1e-9);
    EXPECT_NEAR(Measure(QByteArray(MinimumLength, '\0')), 0.0, 1e-9);
}

TEST(RandomnessMeasure, RandomBytesScoreNearTheTop)
{
    const double measure = Measure(SodiumRandomBytes(65536));
    EXPECT_GT(measure, 0.95);
    EXPECT_LE(measure, 1.0);
}

TEST(RandomnessMeasure, OrdinaryTextLiesBetween)
{
    const QByteArray sentence = "The quick brown fox jumps over the lazy dog, and then it rests in the sun. ";
    const double measure = Measure(sentence.repeated(50));
    EXPECT_GT(measure, 0.3);
    EXPECT_LT(measure, 0.75);
}

TEST(RandomnessMeasure, NegativeWhenNoMeasureCanBeMade)
{
    const QByteArray random = SodiumRandomBytes(MinimumLength);
    EXPECT_LT(randomness_measure(random.constData(), MinimumLength - 1, MinimumLength), 0.0);
    EXPECT_LT(randomness_measure(nullptr, 1000, MinimumLength), 0.0);
    EXPECT_LT(randomness_measure(random.constData(), 0, 0), 0.0);
    EXPECT_GE(randomness_measure(random.constData(), MinimumLength, MinimumLength), 0.0);
}

TEST(Toolkit, Udh3LetsTheLoadGoOn)
{
    EXPECT_EQ(udh3(), 1);
}
