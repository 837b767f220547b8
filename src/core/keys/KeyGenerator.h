#pragma once
// Suggests a key nobody can guess that two people can still read to each other by phone: groups of
// characters from an alphabet without look-alikes, drawn with libsodium's generator.

#include <QString>

namespace Keys {

// Digits and capitals without 0, 1, I and O (read as each other): 32 symbols, 5 bits each.
inline constexpr char SuggestionAlphabet[] = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
constexpr int SuggestionGroups = 5;
constexpr int SuggestionGroupLength = 4;
// 20 symbols of 5 bits: case and spaces add nothing, since the key is used without them.
constexpr int SuggestionBits = SuggestionGroups * SuggestionGroupLength * 5;

// A fresh key such as "K7PX 3MQR 9DWH 2GZT 4NBE"; "" only when the system has no random source.
QString SuggestKey();

} // namespace Keys
