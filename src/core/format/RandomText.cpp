#include "format/RandomText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>

namespace {

constexpr int QuickPoolLength = 4096;
constexpr int QuickPieceLastStart = 3900;
constexpr int QuickPieceMinLength = 20;
constexpr int QuickPieceMaxLength = 160;

// length bytes from drawOne: each drawn by itself, or (quick) a pool of 4096 drawn bytes extended by
// copies of random pieces of itself, which is much cheaper for long strings.
QByteArray DrawBytes(RandomSource& rng, int length, bool quick, const std::function<char()>& drawOne)
{
    QByteArray result;
    const int drawn = quick ? std::max(length, QuickPoolLength) : length;
    const int direct = quick ? QuickPoolLength : length;
    result.reserve(std::max(drawn, 0));
    for (int i = 0; i < direct; ++i)
        result.append(drawOne());
    while (result.size() < length) {
        const int start = RandomInteger(rng, 1, QuickPieceLastStart, false) - 1;
        const int pieceLength = RandomInteger(rng, QuickPieceMinLength, QuickPieceMaxLength, false);
        result.append(result.mid(start, pieceLength));
    }
    result.truncate(std::max(length, 0));
    return result;
}

// The first 114 letters: both cases twice, then the five vowels once more in both cases.
QByteArray AlphabetPart(bool withSpaces)
{
    QByteArray part;
    for (int round = 0; round < 2; ++round) {
        for (char c = 'A'; c <= 'Z'; ++c)
            part.append(c);
        for (char c = 'a'; c <= 'z'; ++c)
            part.append(c);
    }
    part.append("AEIOUaeiou");
    if (withSpaces)
        part.append(QByteArray(48, ' '));
    return part;
}

} // namespace

int RandomInteger(RandomSource& rng, int a, int b, bool evenOnly)
{
    int value = int(std::floor(double(b - a + 1) * rng.next())) + a;
    if (evenOnly && value % 2 != 0)
        value += value == a ? 1 : -1;
    return value;
}

QByteArray RandomString(RandomSource& rng, int minLength, int maxLength, int minCode, int maxCode, bool quick)
{
    const int length = RandomInteger(rng, minLength, maxLength, false);
    return DrawBytes(rng, length, quick, [&] { return char(RandomInteger(rng, minCode, maxCode, false)); });
}

QByteArray WordAlphabet(bool withSpaces)
{
    const QByteArray part = AlphabetPart(withSpaces);
    return part + QByteArray("AEIOUaeiou") + part;
}

QByteArray RandomWord(RandomSource& rng, int minLength, int maxLength, bool withSpaces, bool quick)
{
    if (maxLength == 0)
        return {};
    const QByteArray alphabet = WordAlphabet(withSpaces);
    const int length = RandomInteger(rng, minLength, maxLength, false);
    QByteArray word = DrawBytes(rng, length, quick,
                                [&] { return alphabet.at(RandomInteger(rng, 0, int(alphabet.size()) - 1, false)); });
    if (withSpaces)
        word = word.trimmed();
    if (!word.isEmpty())
        word[0] = char(std::toupper(static_cast<unsigned char>(word[0])));
    return word;
}

QByteArray RandomListEntry(RandomSource& rng, const QByteArray& list)
{
    const int entries = int(list.size() / 3);
    if (entries == 0)
        return {};
    return list.mid(3 * RandomInteger(rng, 0, entries - 1, false), 3);
}
