// lt and gt of the toolkit: the program-text table. The loaded table is the toolkit's one piece
// of process-wide state, loaded once and read by every window and command. Readers take a snapshot under a
// lock, so a new lt may replace the table while other threads fetch texts.
#include "engines/ProgramTextFile.h"
#include "engines/toolkit.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>

namespace {

struct LoadedTexts {
    std::mutex mutex;
    std::shared_ptr<const ProgramTextFile::Table> table;
};

LoadedTexts& Loaded()
{
    static LoadedTexts loaded;
    return loaded;
}

std::shared_ptr<const ProgramTextFile::Table> Snapshot()
{
    std::lock_guard lock(Loaded().mutex);
    return Loaded().table;
}

void Replace(std::shared_ptr<const ProgramTextFile::Table> table)
{
    std::lock_guard lock(Loaded().mutex);
    Loaded().table = std::move(table);
}

// Before a language is chosen (-1) the program shows English.
int TableLanguage(int16_t language)
{
    return language == -1 ? ProgramTextFile::EnglishIndex : language;
}

// Copies at most bufferSize units without splitting a surrogate pair; returns the count copied.
int32_t CopyText(const QString& text, char16_t* buffer, int32_t bufferSize)
{
    int32_t count = std::min<int32_t>(static_cast<int32_t>(text.size()), bufferSize);
    if (count < text.size() && count > 0 && text.at(count - 1).isHighSurrogate())
        --count;
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), count, buffer);
    return count;
}

} // namespace

extern "C" int32_t lt(const char* path, int32_t /*flags*/)
{
    try {
        auto table = std::make_shared<ProgramTextFile::Table>();
        const int32_t result = ProgramTextFile::Read(path ? QString::fromUtf8(path) : QString(), *table);
        // A failed load keeps the texts already in force.
        if (result > 0)
            Replace(std::move(table));
        return result;
    } catch (const std::bad_alloc&) {
        return ProgramTextFile::OutOfMemory;
    }
}

extern "C" int32_t gt(int16_t number, int16_t language, char16_t* buffer, int32_t bufferSize, int32_t /*flag*/)
{
    const int tableLanguage = TableLanguage(language);
    if (!buffer || bufferSize <= 0 || number < 1 || tableLanguage < 0 || tableLanguage > 1)
        return 0;
    const auto table = Snapshot();
    if (!table)
        return 0;
    const auto found = table->texts.constFind(ProgramTextFile::TextKey(number, tableLanguage));
    if (found == table->texts.constEnd())
        return 0;
    return CopyText(*found, buffer, bufferSize);
}
