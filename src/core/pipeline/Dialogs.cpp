#include "pipeline/Dialogs.h"

DialogAnswer Dialogs::inform(const QString& text, const QString& title, DialogIcon icon, Remedy remedy)
{
    MessageRequest request{text, title, icon, DialogButtons::Ok, 0};
    request.remedy = remedy;
    return message(request);
}

DialogAnswer Dialogs::ask(QuestionId question, const QString& text, const QString& title, DialogButtons buttons,
                          DialogIcon icon, int defaultButton)
{
    return message({text, title, icon, buttons, defaultButton, question});
}

QString Dialogs::chooseFolder(const QString& prompt, const QString& startFolder)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Folder;
    request.title = prompt;
    request.startPath = startFolder;
    return choosePath(request);
}
