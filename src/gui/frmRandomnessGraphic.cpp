#include "gui/frmRandomnessGraphic.h"

#include "gui/FocusRing.h"

#include "format/RandomnessStatistics.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

// A picture box that shows its image one pixel per point; a label with a picture, so that a screen
// reader hears it as a picture under its name.
class PlotBox : public QLabel {
  public:
    explicit PlotBox(QWidget* parent)
        : QLabel(parent), image(frmRandomnessGraphic::PlotSide, frmRandomnessGraphic::PlotSide, QImage::Format_RGB32)
    {
        setFixedSize(image.size());
        clear();
    }

    void clear()
    {
        image.fill(Qt::black);
        setPixmap(QPixmap::fromImage(image));
    }

    // pairs as BytePairsOf gives them: bit first * 256 + second lights the point (first, second).
    void plotPairs(const QBitArray& pairs)
    {
        const QRgb white = qRgb(255, 255, 255);
        for (qsizetype i = 0; i < pairs.size(); ++i)
            if (pairs.testBit(i))
                image.setPixel(int(i / PlotSide), int(i % PlotSide), white);
        setPixmap(QPixmap::fromImage(image));
    }

    static constexpr int PlotSide = frmRandomnessGraphic::PlotSide;

    QImage image;
};

namespace {
QLabel* NamedLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}
} // namespace

frmRandomnessGraphic::frmRandomnessGraphic(QWidget* parent) : QDialog(parent), cmdClose(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmRandomnessGraphic"));
    new FocusRing(*this); // a focus the keyboard user can find
    setWindowTitle(QStringLiteral("Randomness report"));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(24);
    for (int i = 0; i < 2; ++i) {
        Label1[i] = NamedLabel(QStringLiteral("Label1%1").arg(i), this);
        picPic[i] = new PlotBox(this);
        picPic[i]->setObjectName(QStringLiteral("picPic%1").arg(i));
        lblSize[i] = NamedLabel(QStringLiteral("lblSize%1").arg(i), this);
        lblRandomness[i] = NamedLabel(QStringLiteral("lblRandomness%1").arg(i), this);
        grid->addWidget(Label1[i], 0, i);
        grid->addWidget(picPic[i], 1, i, Qt::AlignCenter);
        grid->addWidget(lblSize[i], 2, i);
        grid->addWidget(lblRandomness[i], 3, i);
    }
    Label1[0]->setText(QStringLiteral("Plaintext"));
    Label1[1]->setText(QStringLiteral("Ciphertext"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setText(QStringLiteral("Close"));
    cmdClose->setMinimumWidth(100);
    grid->addWidget(cmdClose, 4, 0, 1, 2, Qt::AlignCenter);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::hide);
}

void frmRandomnessGraphic::Form_load(const QWidget* mainWindow)
{
    if (mainWindow != nullptr) {
        adjustSize();
        const QRect main = mainWindow->geometry();
        move(main.left() + (main.width() - width()) / 2, main.top() + (main.height() - height()) / 2);
    }
    ClearPic(0);
    ClearPic(1);
}

void frmRandomnessGraphic::applyTexts(int language)
{
    setWindowTitle(Language::GetProgramText(RandomnessTexts::Title, language));
    Label1[0]->setText(Language::GetProgramText(RandomnessTexts::Plaintext, language));
    Label1[1]->setText(Language::GetProgramText(RandomnessTexts::Ciphertext, language));
    const QString description = Language::GetProgramText(RandomnessTexts::PlotDescription, language);
    for (int i = 0; i < 2; ++i) {
        picPic[i]->setAccessibleName(Language::GetProgramText(
            i == 0 ? RandomnessTexts::PlaintextPlotName : RandomnessTexts::CiphertextPlotName, language));
        picPic[i]->setAccessibleDescription(description);
    }
    cmdClose->setText(Mnemonics::Mark({Language::GetProgramText(RandomnessTexts::Close, language)}).constFirst());
}

void frmRandomnessGraphic::ClearPic(int intPic)
{
    if (isPlot(intPic))
        picPic[intPic]->clear();
}

void frmRandomnessGraphic::PlotRandomness(int intPic, const QByteArray& StrBuff)
{
    PlotPairs(intPic, BytePairsOf(StrBuff));
}

void frmRandomnessGraphic::PlotPairs(int intPic, const QBitArray& pairs)
{
    if (!isPlot(intPic))
        return;
    ClearPic(intPic);
    picPic[intPic]->plotPairs(pairs);
}

const QImage& frmRandomnessGraphic::plot(int i) const
{
    return picPic[isPlot(i) ? i : 0]->image;
}

void frmRandomnessGraphic::showStatistics(int i, const QString& caption, const QString& sizeText,
                                          const QString& randomnessText)
{
    if (!isPlot(i))
        return;
    Label1[i]->setText(caption);
    lblSize[i]->setText(sizeText);
    lblRandomness[i]->setText(randomnessText);
}
