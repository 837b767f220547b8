#include "gui/RunDialogs.h"

namespace {

bool IsPlainBox(const MessageRequest& request)
{
    return request.buttons == DialogButtons::Ok && request.question == QuestionId::None;
}

} // namespace

// A box held back is never lost, even when the window forgot to show it.
RunDialogs::~RunDialogs()
{
    ShowHeld();
}

DialogAnswer RunDialogs::message(const MessageRequest& request)
{
    if (IsPlainBox(request)) {
        held_.push_back(request);
        return DialogAnswer::Ok;
    }
    ShowHeld();
    return Show(request);
}

QString RunDialogs::choosePath(const FileDialogRequest& request)
{
    ShowHeld();
    return shown_.choosePath(request);
}

int RunDialogs::openTarget(const QString& target)
{
    ShowHeld();
    return shown_.openTarget(target);
}

void RunDialogs::ShowHeld()
{
    std::vector<MessageRequest> boxes;
    boxes.swap(held_);
    for (const MessageRequest& box : boxes)
        Show(box);
}

DialogAnswer RunDialogs::Show(const MessageRequest& request)
{
    lastRemedy_ = request.remedy;
    return shown_.message(request);
}
