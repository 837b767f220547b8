#include "pipeline/PipelineMessages.h"

#include "texts/Language.h"

QString BusyText(int textNumber, int language)
{
    const QString margin(5, QLatin1Char(' '));
    return margin + Language::GetProgramText(textNumber, language) + QStringLiteral(" ...") + margin;
}
