#pragma once
// Reads the program-text data file (zeb.dat) into a table of texts keyed by number and language.
// The result codes are those the toolkit's lt reports; the file format is documented at the top
// of data/zeb.dat.

#include <QHash>
#include <QString>

#include <cstdint>

namespace ProgramTextFile {

constexpr int EnglishIndex = 0;
constexpr int GermanIndex = 1;
// The longest text, in UTF-16 code units; callers fetch into a buffer of this size.
constexpr int MaxTextLength = 1024;

// Result codes of Read (and of lt). A positive result is the number of texts read.
enum Code : int32_t {
    NothingRead = 0,
    CannotOpen = -1,
    AllocationFailed = -2, // never returned by this reader; the loader still tells it
    TooMuchText = -3,
    TextNotRecovered = -4, // never returned by this reader; the loader still tells it
    FileEmpty = -6,
    ReadError = -7,
    OutOfMemory = -8,
    // Codes below carry no line number: they are shown as "Error -N".
    MalformedLine = -9,         // not "<number> TAB <EN|DE> TAB <text>", or not UTF-8
    TooLongBeyondLine500 = -10, // a too-long text whose line number the code range cannot hold
    MissingBeyondLine500 = -11, // likewise for a missing text
    // Line-carrying codes: the code minus the 1-based line number.
    MissingBase = -500,
    TooLongBase = -1000,
    DuplicateBase = -1500,
};

// Line numbers up to this value fit the missing and too-long code ranges.
constexpr int LastEncodableLine = 500;

struct Table {
    QHash<uint32_t, QString> texts; // key: see TextKey
};

constexpr uint32_t TextKey(int number, int language)
{
    return static_cast<uint32_t>(number) * 2u + static_cast<uint32_t>(language);
}

// Parses the file at path into table (untouched on failure); returns the count of texts or a code.
int32_t Read(const QString& path, Table& table);

} // namespace ProgramTextFile
