#pragma once
// What the randomness window shows after an encryption, as data: for the plain package (side 0)
// and the ciphertext (side 1) a caption, a size text, a randomness text, the measure and the bytes
// to plot. The pipeline fills it; the window only copies it into its labels and plots.

#include <QByteArray>
#include <QString>

#include <array>

struct RandomnessSide {
    QString caption;        // "Plaintext" / "Ciphertext"
    QString sizeText;       // "Size: 21.50 KB"
    QString randomnessText; // "Randomness: 0.612", or why there is no measure
    double measure = -1.0;  // -1.0: not measured
    QByteArray plotData;    // the bytes to plot as pairs; empty when there is nothing to plot
};

struct RandomnessReport {
    QString windowCaption;
    std::array<RandomnessSide, 2> sides; // 0 plain package, 1 ciphertext

    // Both sides measured: the window has something worth showing.
    bool BothMeasured() const { return sides[0].measure > 0 && sides[1].measure > 0; }
};

// Buffers shorter than this are not measured.
constexpr int MinimumMeasuredLength = 64;

// Measures data into side: the measure and its text, and the data to plot when there is a measure.
void MeasureAndShowRandomness(RandomnessSide& side, const QByteArray& data, int language);
// Side 0: caption, size and measure of the plain package as it stands.
void ShowPlaintextStatistics(RandomnessReport& report, const QByteArray& plainPackage, int language);
// Side 1 and the window caption: caption, size and measure of the ciphertext, the bytes just written
// to ciphertextPath.
void ShowCiphertextStatistics(RandomnessReport& report, const QString& ciphertextPath, const QByteArray& ciphertext,
                              int language);
