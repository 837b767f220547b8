#include "support/ScriptedDialogs.h"

namespace {
DialogAnswer defaultAnswer(const MessageRequest& request)
{
    switch (request.buttons) {
    case DialogButtons::Ok:
        return DialogAnswer::Ok;
    case DialogButtons::OkCancel:
        return request.defaultButton == 1 ? DialogAnswer::Cancel : DialogAnswer::Ok;
    case DialogButtons::YesNo:
    case DialogButtons::YesNoCancel:
        return request.defaultButton == 1 ? DialogAnswer::No : DialogAnswer::Yes;
    }
    return DialogAnswer::Ok;
}
} // namespace

DialogAnswer ScriptedDialogs::message(const MessageRequest& request)
{
    Record record;
    record.message = request;
    log.push_back(record);
    if (request.buttons == DialogButtons::Ok || answers.empty())
        return defaultAnswer(request);
    const DialogAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedDialogs::choosePath(const FileDialogRequest& request)
{
    Record record;
    record.chooser = request;
    record.isChooser = true;
    log.push_back(record);
    if (paths.empty())
        return {};
    const QString path = paths.front();
    paths.pop_front();
    return path;
}

int ScriptedDialogs::openTarget(const QString& target)
{
    Record record;
    record.target = target;
    record.isOpenTarget = true;
    log.push_back(record);
    return openTargetResult;
}

std::vector<MessageRequest> ScriptedDialogs::messages() const
{
    std::vector<MessageRequest> result;
    for (const Record& record : log)
        if (!record.isChooser && !record.isOpenTarget)
            result.push_back(record.message);
    return result;
}

std::vector<QuestionId> ScriptedDialogs::questions() const
{
    std::vector<QuestionId> result;
    for (const MessageRequest& box : messages())
        if (box.question != QuestionId::None)
            result.push_back(box.question);
    return result;
}
