#include "cli/CliDialogs.h"

#include "cli/CliStatus.h"
#include "pipeline/Failure.h"
#include "texts/Language.h"
#include "texts/TerminalText.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// A box's lines, as one line of standard error behind the program's name.
QString OneLine(QString text)
{
    static const QRegularExpression lineBreaks(QStringLiteral("\\s*\\r?\\n\\s*"));
    return QStringLiteral("quillet-cli: ") + text.replace(lineBreaks, QStringLiteral(" ")).trimmed();
}

constexpr int NothingAssociated = 31; // openTarget's code when no program opens the target

} // namespace

QString FileProblem(int number, const QString& path, const QString& cause, int language)
{
    return Language::GetProgramText(number, language) + '\n' + TerminalText::Escape(QDir::toNativeSeparators(path)) +
           ": " + cause;
}

void CliDialogs::answerQuestion(QuestionId question, DialogAnswer answer, const QString& said)
{
    for (PreparedAnswer& prepared : answers_)
        if (prepared.question == question) {
            prepared = {question, answer, said};
            return;
        }
    answers_.push_back({question, answer, said});
}

void CliDialogs::say(const QString& text)
{
    // The texts carry names from files and senders: their control characters are shown, not obeyed.
    std::fputs((TerminalText::Escape(OneLine(text)) + '\n').toUtf8().constData(), out_);
    std::fflush(out_);
}

void CliDialogs::tell(const Failure& failure)
{
    if (failure.path().isEmpty())
        say(Language::GetProgramText(failure.text(), language_));
    else
        say(FileProblem(failure.text(), failure.path(), failure.cause(), language_));
}

DialogAnswer CliDialogs::message(const MessageRequest& request)
{
    if (request.buttons == DialogButtons::Ok) {
        say(request.text);
        return DialogAnswer::Ok;
    }
    // Nobody is there to read a question: it is answered from the options, and what came of it is
    // said in the command line's own words, if at all.
    const PreparedAnswer prepared = AnswerFor(request);
    if (!prepared.said.isEmpty())
        say(prepared.said);
    return prepared.answer;
}

QString CliDialogs::choosePath(const FileDialogRequest& request)
{
    if (request.kind != FileDialogRequest::Kind::Folder)
        return {};
    return folder_;
}

int CliDialogs::openTarget(const QString& target)
{
    say(target);
    return NothingAssociated;
}

CliDialogs::PreparedAnswer CliDialogs::AnswerFor(const MessageRequest& request) const
{
    for (const PreparedAnswer& prepared : answers_)
        if (prepared.question != QuestionId::None && prepared.question == request.question)
            return prepared;
    return {request.question, request.buttons == DialogButtons::OkCancel ? DialogAnswer::Cancel : DialogAnswer::No, {}};
}
