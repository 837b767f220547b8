#pragma once
// How a failure reaches the user: the program text that tells what failed, the place it concerns and
// its cause. Every routine above the engines and the file routines reports this way, so a success is
// never an empty string that a caller could mistake for a failure without words, and the engines'
// integer codes are read once, where a Failure is made of them.

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class Failure {
  public:
    // How the message names the place a failure concerns.
    enum class Place {
        Folder, // the folder of the path: a read or write in it failed (a full disk, a lost folder)
        Path    // the path itself: the file, or the folder, the cause is about
    };

    explicit Failure(int text) : text_(text) {}

    // The place the failure concerns.
    Failure& At(const QString& path, Place place = Place::Folder);
    // A cause in the file routines' fixed English words ("Disk full."); "" adds nothing.
    Failure& Because(const QString& cause);
    // A cause told by program texts, one a line (what an engine's code stands for).
    Failure& Because(std::vector<int> causeTexts);

    int text() const { return text_; }
    QString path() const { return path_; }
    QString cause() const { return cause_; }

    // The text, then " <place>:" when a place is named, then a line break and the cause when there
    // is one: "<text> <folder>:" CR LF "Disk full.".
    QString Message(int language) const;

  private:
    int text_;
    QString path_;
    Place place_ = Place::Folder;
    QString cause_;
    std::vector<int> causeTexts_;
};

// The result of a step that either succeeds, saying nothing, or fails with a Failure.
class Outcome {
  public:
    Outcome() = default; // success
    Outcome(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_; }
    // The failure; only when !ok().
    const Failure& failure() const { return *failure_; }

  private:
    std::optional<Failure> failure_;
};

// What the cipher engine's result stands for, as program texts: a wrong key, a damaged or cut file,
// a file that is not ours (or of a newer version), or a fault of input, output or memory.
std::vector<int> EngineCauseTexts(int engineResult);
// The same texts in `language`, one an entry.
QStringList EngineCauseLines(int engineResult, int language);
