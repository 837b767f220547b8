#include "pipeline/PipelineMessages.h"

#include "files/IoErrorText.h"
#include "texts/Language.h"

#include <QDir>
#include <QFileInfo>

QString BusyText(int textNumber, int language)
{
    const QString margin(5, QLatin1Char(' '));
    return margin + Language::GetProgramText(textNumber, language) + QStringLiteral(" ...") + margin;
}

QString FailureWithDetail(const QString& text, const QString& pathConcerned, const QString& errorText)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(pathConcerned).absolutePath());
    return text + ' ' + folder + ':' + QStringLiteral("\r\n") + errorText;
}

QString FailureNamingFile(const QString& text, const QString& file, const QString& errorText)
{
    return text + ' ' + QDir::toNativeSeparators(file) + ':' + QStringLiteral("\r\n") + errorText;
}

QString NoWorkingFolderText(const QString& base, const QString& cause, int language)
{
    constexpr int NoWorkingFolder = 470;
    return Language::GetProgramText(NoWorkingFolder, language) + ' ' + QDir::toNativeSeparators(base) + ':' +
           QStringLiteral("\r\n") + cause;
}

QString StepFailureText(const PipelineRun::StepOutcome& step, int language)
{
    const QString text = Language::GetProgramText(step.text, language);
    if (step.ending != PipelineRun::StepEnding::WorkingFolderFailed)
        return text;
    return FailureWithDetail(text, step.output, FileProc::IoErrorText(step.cause));
}
