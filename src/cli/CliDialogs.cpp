#include "cli/CliDialogs.h"

#include "cli/CliStatus.h"
#include "texts/Language.h"

#include <QDir>

namespace {

// Boxes break lines with CR LF; a terminal wants LF.
QString TerminalLines(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

constexpr int NothingAssociated = 31; // openTarget's code when no program opens the target

} // namespace

QString FileProblem(int number, const QString& path, const QString& cause, int language)
{
    return Language::GetProgramText(number, language) + '\n' + QDir::toNativeSeparators(path) + ": " + cause;
}

void CliDialogs::answerQuestion(QuestionId question, DialogAnswer answer)
{
    for (PreparedAnswer& prepared : answers_)
        if (prepared.question == question) {
            prepared.answer = answer;
            return;
        }
    answers_.push_back({question, answer});
}

void CliDialogs::say(const QString& text)
{
    std::fputs((TerminalLines(text) + '\n').toUtf8().constData(), out_);
    std::fflush(out_);
}

DialogAnswer CliDialogs::message(const MessageRequest& request)
{
    if (request.buttons == DialogButtons::Ok) {
        say(request.text);
        return DialogAnswer::Ok;
    }
    // The question as the box would put it, and on its last line the answer given for the user.
    const DialogAnswer answer = AnswerFor(request);
    say(request.text + ' ' + AnswerWord(answer));
    return answer;
}

QString CliDialogs::choosePath(const FileDialogRequest& request)
{
    if (request.kind != FileDialogRequest::Kind::Folder)
        return {};
    say(request.title + ": " + QDir::toNativeSeparators(folder_));
    return folder_;
}

int CliDialogs::openTarget(const QString& target)
{
    say(target);
    return NothingAssociated;
}

DialogAnswer CliDialogs::AnswerFor(const MessageRequest& request) const
{
    for (const PreparedAnswer& prepared : answers_)
        if (prepared.question != QuestionId::None && prepared.question == request.question)
            return prepared.answer;
    return request.buttons == DialogButtons::OkCancel ? DialogAnswer::Cancel : DialogAnswer::No;
}

QString CliDialogs::AnswerWord(DialogAnswer answer) const
{
    switch (answer) {
    case DialogAnswer::Yes:
        return Language::GetProgramText(CliTexts::Yes, language_);
    case DialogAnswer::No:
        return Language::GetProgramText(CliTexts::No, language_);
    case DialogAnswer::Ok:
        return QStringLiteral("OK");
    case DialogAnswer::Cancel:
        return Language::GetProgramText(CliTexts::Cancel, language_);
    }
    return {};
}
