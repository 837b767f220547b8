#pragma once
// An output file that appears only when it is complete. The bytes go to a temporary file beside
// the final path, created exclusively and readable by the owner only; commit() renames it into
// place, and anything else (a failure, an early return) wipes and removes it, so a failed
// operation never leaves a partial or stale output behind.

#include <QFile>
#include <QString>

#include <cstdint>
#include <functional>

class AtomicOutput {
  public:
    explicit AtomicOutput(QString finalPath);
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // Creates the temporary file; false when it cannot be created.
    bool open();
    QIODevice& device() { return file_; }
    // Hands the data to the system and renames the temporary file onto the final path (without a
    // sync to the device: outputs of the engines are working files, see commit()).
    bool commit();

  private:
    void discard();

    QString finalPath_;
    QString tempPath_;
    QFile file_;
    int descriptor_ = -1;
    bool committed_ = false;
};

// Runs operation from the file at inputPath (UTF-8) into a new file at outputPath that appears
// only when operation returns 0. Returns operation's result, or -1 when the input cannot be
// opened and -2 when the output cannot be created, written or put in place (the engines' common codes).
// On failure errno tells the cause as the failing call left it; the clean-up does not change it.
using FileOperation = std::function<int32_t(QIODevice& in, QIODevice& out)>;
int32_t run_file_to_file(const char* inputPath, const char* outputPath, const FileOperation& operation);
