#pragma once
// What the randomness window shows after an encryption, as data: for the plain package (side 0)
// and the ciphertext (side 1) a caption, a size text, a randomness text, the measure and the points
// to plot. The pipeline fills it; the window only copies it into its labels and plots.

#include <QBitArray>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

struct RandomnessSide {
    QString caption;        // "Plaintext" / "Ciphertext"
    QString sizeText;       // "Size: 21.50 KB"
    QString randomnessText; // "Randomness: 0.612", or why there is no measure
    double measure = -1.0;  // -1.0: not measured
    QBitArray plotData;     // the points to plot (BytePairsOf); empty when there is nothing to plot
};

// The points of the plot of data: bit first * 256 + second is set for every pair of consecutive
// bytes (bytes 0 and 1, 2 and 3, ...; an odd last byte is left out), 65,536 bits in all. What the
// plot needs without a copy of the bytes, which may be the plain text.
QBitArray BytePairsOf(QByteArrayView data);

struct RandomnessReport {
    QString windowCaption;
    std::array<RandomnessSide, 2> sides; // 0 plain package, 1 ciphertext

    // Both sides measured: the window has something worth showing.
    bool BothMeasured() const { return sides[0].measure > 0 && sides[1].measure > 0; }
};

// Buffers shorter than this are not measured.
constexpr int MinimumMeasuredLength = 64;

// Measures data into side: the measure and its text, and the points to plot when there is a measure.
void MeasureAndShowRandomness(RandomnessSide& side, QByteArrayView data, int language);
// Side 0: caption, size and measure of the plain package as it stands.
void ShowPlaintextStatistics(RandomnessReport& report, QByteArrayView plainPackage, int language);
// Side 1 and the window caption: caption, size and measure of the ciphertext, the bytes just written
// to ciphertextPath.
void ShowCiphertextStatistics(RandomnessReport& report, const QString& ciphertextPath, const QByteArray& ciphertext,
                              int language);
