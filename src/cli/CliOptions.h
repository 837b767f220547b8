#pragma once
// The command line of quillet-cli: which command, and the options given to it.

#include "engines/CipherEngine.h"

#include "files/EnvironmentSecret.h"

#include <QString>
#include <QStringList>

enum class CliCommand { Help, Version, Encrypt, Decrypt, Checksum, Keygen, Inspect };

struct CliOptions {
    CliCommand command = CliCommand::Help;
    // A path "-" stands for standard input or standard output.
    QString out;         // encrypt: the ciphertext file to write
    QString attach;      // encrypt: the file to send along, "" for none
    QString messageFile; // encrypt: the message, "" for standard input
    QString in;          // decrypt, inspect: the ciphertext file; decrypt: "" for standard input
    QString outDir;      // decrypt: where an attached file goes, "" for the current folder
    QString messageOut;  // decrypt: where the message goes, "" for standard output
    QString keyFile;     // "" when the key comes from QUILLET_KEY or the terminal
    KdfLevel kdf = KdfLevel::Moderate;
    bool force = false;
    bool armor = false; // encrypt: write the armored text form instead of the binary file
    bool acceptBadCheck = false;
    bool strength = false; // checksum: also rate how hard the key is to guess
    int language = -1;     // -1: not given (the stored language, else English)
    // Not an option: QUILLET_KEY as the program took it out of its environment at start.
    EnvironmentSecret::Taken environmentKey;
};

struct ParsedCommandLine {
    bool ok = false;
    QString error; // what is wrong with the command line, when not ok
    CliOptions options;
};

// True for the path "-": standard input for an input, standard output for an output.
bool IsStandardStream(const QString& path);

// Reads the arguments after the program name. Options take "--name value", "--name=value",
// "-x value" and "-xvalue"; a bare argument is the command's input file; "--" ends the options.
ParsedCommandLine ParseCommandLine(const QStringList& arguments);

// The text of --help and --version.
QString HelpText();
QString VersionText();
