#include "keys/KeyGenerator.h"

#include <sodium.h>

namespace Keys {

static_assert(sizeof SuggestionAlphabet - 1 == 32, "five bits a symbol");

QString SuggestKey()
{
    if (sodium_init() < 0)
        return {}; // no generator to draw from: suggest nothing rather than a guessable key
    QString key;
    key.reserve(SuggestionGroups * (SuggestionGroupLength + 1));
    for (int group = 0; group < SuggestionGroups; ++group) {
        if (group > 0)
            key += QLatin1Char(' ');
        for (int i = 0; i < SuggestionGroupLength; ++i)
            key += QLatin1Char(SuggestionAlphabet[randombytes_uniform(sizeof SuggestionAlphabet - 1)]);
    }
    return key;
}

} // namespace Keys
