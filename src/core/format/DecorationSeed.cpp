#include "format/DecorationSeed.h"

#include "engines/Digest.h"

uint32_t SeedFromMessageAndKey(const QByteArray& messageBytes, const QString& quickKey)
{
    const QByteArray digest = MD5OfString(messageBytes);
    uint32_t sum = 0;
    for (int i = 0; i + 1 < digest.size(); ++i)
        sum += uint32_t(static_cast<unsigned char>(digest.at(i))) * static_cast<unsigned char>(digest.at(i + 1));
    const uint32_t keyCode = quickKey.isEmpty() ? 0 : quickKey.at(0).unicode();
    return sum + keyCode;
}
