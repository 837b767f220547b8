#pragma once
// The toolkit component: program texts, secure overwrite, creatable names, the randomness
// measure. A small C-style interface, like the other engines: results are integers (or a double),
// never exceptions. Paths and texts go in as NUL-terminated UTF-8.

#include <cstdint>

extern "C" {

// Loads the program texts of every language from the data file at path (flags: always 0).
// A positive result on success; 0 or a negative code on failure (see the program-text loader).
int32_t lt(const char* path, int32_t flags);

// Copies program text `number` of `language` into buffer (at most bufferSize UTF-16 code units,
// no terminator needed) and returns its length; 0 or less when there is none. flag: always 1.
int32_t gt(int16_t number, int16_t language, char16_t* buffer, int32_t bufferSize, int32_t flag);

// Overwrites the whole content of the file at path; 0 on success, non-zero on failure.
int32_t overwrite_file(const char* path, int32_t count, int32_t clusterFlag, int32_t clusterSize);

// 1 when a file of that name can be created now and collides with nothing; any other value: no.
int32_t new_file_creatable(const char* path);

// A measure of the randomness of length bytes of text, 0 or more; negative when none can be made.
double randomness_measure(const char* text, int32_t length, int16_t minimumLength);

// Lets the text-box load go on; always true here.
int32_t udh3();
}

namespace toolkit_result {
inline constexpr int32_t kLoadRefused = 0; // udh3: the text box must not be loaded
} // namespace toolkit_result
