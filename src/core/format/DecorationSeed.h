#pragma once
// The seed that makes the encrypt pipeline's random choices (filler, header decoration) repeat for
// the same message and key.

#include <QByteArray>
#include <QString>
#include <cstdint>

// With d1..d16 the MD5 bytes of messageBytes: the sum of di * di+1 for i = 1 to 15, plus the code
// of the key's first character (0 for an empty key). Use after RandomSource::reset().
uint32_t SeedFromMessageAndKey(const QByteArray& messageBytes, const QString& quickKey);
