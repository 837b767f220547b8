// What the window does after a message: the focus goes to the control that mends what the message
// said, so the user's next key press is the fix, and a ciphertext file that cannot be decrypted is
// refused before a key is typed for it.
#include "gui/frmMain.h"

#include "pipeline/CiphertextSource.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/Dialogs.h"

#include <QPlainTextEdit>
#include <QPushButton>

void frmMain::FocusOn(Remedy remedy)
{
    SetTheFocus();
    QWidget* control = nullptr;
    switch (remedy) {
    case Remedy::None:
        return;
    case Remedy::Key:
        control = cmdQuickKey;
        break;
    case Remedy::Message:
        control = txbText;
        break;
    case Remedy::FileToAppend:
    case Remedy::CiphertextFile:
        control = cmdSpecifyFile[0];
        break;
    case Remedy::OutputFile:
        control = cmdSpecifyFile[1];
        break;
    }
    if (control != nullptr && control->isVisible() && control->isEnabled())
        control->setFocus(Qt::OtherFocusReason);
}

bool frmMain::RefuseCiphertextSource(const QString& path, const std::optional<QByteArray>& block)
{
    DecryptRequest request;
    request.ciphertextPath = path;
    request.ciphertext = block;
    request.language = State.language;
    const CiphertextSource source = ReadCiphertextSource(request);
    if (source.ok())
        return false;
    ShowSourceRefusal(source, dialogs, State.language);
    FocusOn(Remedy::CiphertextFile);
    return true;
}
