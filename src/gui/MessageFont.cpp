#include "gui/MessageFont.h"

#include <QApplication>
#include <QFontDatabase>

QFont MessageFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont text = QApplication::font();
    if (text.pointSizeF() > 0)
        font.setPointSizeF(text.pointSizeF());
    else if (text.pixelSize() > 0)
        font.setPixelSize(text.pixelSize());
    return font;
}
