#pragma once
// Scripted dialogs that let a test look at the window while a box or a chooser is open: the window
// is as the user sees it then, with the command still under way.

#include "support/ScriptedDialogs.h"

#include <functional>

class WatchingDialogs : public ScriptedDialogs {
  public:
    DialogAnswer message(const MessageRequest& request) override
    {
        if (onMessage)
            onMessage(request);
        return ScriptedDialogs::message(request);
    }
    QString choosePath(const FileDialogRequest& request) override
    {
        if (onChooser)
            onChooser(request);
        return ScriptedDialogs::choosePath(request);
    }
    std::function<void(const MessageRequest&)> onMessage;
    std::function<void(const FileDialogRequest&)> onChooser;
};
