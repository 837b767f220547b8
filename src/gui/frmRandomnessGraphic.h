#pragma once
// The randomness report: two 256 x 256 scatter plots, plaintext (0) and ciphertext (1), in which every
// pair of consecutive bytes of a buffer lights the point (first byte, second byte), white on black.
// Below each plot, the sizes and randomness measures of the latest encryption. Closing the window,
// by Close or by its frame, only hides it: the latest report stays until it is replaced.

#include <QBitArray>
#include <QDialog>
#include <QImage>

#include <array>

class QLabel;
class QPushButton;
class PlotBox;

class frmRandomnessGraphic : public QDialog {
    Q_OBJECT
  public:
    static constexpr int PlotSide = 256;

    explicit frmRandomnessGraphic(QWidget* parent = nullptr);

    // Centres the window over mainWindow (when given) and clears both plots.
    void Form_load(const QWidget* mainWindow = nullptr);
    // Captions in language (0 English, 1 German): the plot captions, the close button, the title.
    void applyTexts(int language);

    // Empties plot intPic (0 or 1; any other value is ignored).
    void ClearPic(int intPic);
    // Draws StrBuff into plot intPic, one point per pair of consecutive bytes; an odd last byte is ignored.
    void PlotRandomness(int intPic, const QByteArray& StrBuff);
    // Draws the points BytePairsOf gives into plot intPic, cleared first.
    void PlotPairs(int intPic, const QBitArray& pairs);
    // The picture of plot i (0 or 1), as shown.
    const QImage& plot(int i) const;

    // The texts under plot i, as the encryption's statistics word them.
    void showStatistics(int i, const QString& caption, const QString& sizeText, const QString& randomnessText);

  private:
    static bool isPlot(int i) { return i == 0 || i == 1; }

    std::array<PlotBox*, 2> picPic{};
    std::array<QLabel*, 2> Label1{};
    std::array<QLabel*, 2> lblSize{};
    std::array<QLabel*, 2> lblRandomness{};
    QPushButton* cmdClose;
};
