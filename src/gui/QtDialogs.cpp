#include "gui/QtDialogs.h"

#include "gui/FocusRing.h"

#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {
QMessageBox::Icon toQtIcon(DialogIcon icon)
{
    switch (icon) {
    case DialogIcon::Critical:
        return QMessageBox::Critical;
    case DialogIcon::Question:
        return QMessageBox::Question;
    case DialogIcon::Exclamation:
        return QMessageBox::Warning;
    case DialogIcon::Information:
        return QMessageBox::Information;
    case DialogIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QList<QMessageBox::StandardButton> toQtButtons(DialogButtons buttons)
{
    switch (buttons) {
    case DialogButtons::Ok:
        return {QMessageBox::Ok};
    case DialogButtons::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case DialogButtons::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case DialogButtons::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

// The program text of a standard button; Qt's own text stays when the texts are not loaded (the box
// that reports a failed load of the program texts).
void SetProgramText(QAbstractButton* button, QMessageBox::StandardButton which, int language)
{
    int number = 0;
    switch (which) {
    case QMessageBox::Ok:
        number = BoxButtonTexts::Ok;
        break;
    case QMessageBox::Cancel:
        number = BoxButtonTexts::Cancel;
        break;
    case QMessageBox::Yes:
        number = BoxButtonTexts::Yes;
        break;
    case QMessageBox::No:
        number = BoxButtonTexts::No;
        break;
    default:
        return;
    }
    if (const QString text = Language::GetProgramText(number, language); !text.isEmpty())
        button->setText(text);
}

// Alt plus a letter answers the box, each button by a letter of its own.
void MarkAccessKeys(const QList<QAbstractButton*>& buttons)
{
    QStringList captions;
    for (const QAbstractButton* button : buttons)
        captions << button->text();
    const QStringList marked = Mnemonics::Mark(captions);
    for (qsizetype i = 0; i < buttons.size(); ++i)
        buttons[i]->setText(marked[i]);
}

DialogAnswer fromQt(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return DialogAnswer::Yes;
    case QMessageBox::No:
        return DialogAnswer::No;
    case QMessageBox::Cancel:
        return DialogAnswer::Cancel;
    default:
        return DialogAnswer::Ok;
    }
}
} // namespace

DialogAnswer QtDialogs::message(const MessageRequest& request)
{
    QMessageBox box(parentWidget);
    box.setIcon(toQtIcon(request.icon));
    box.setWindowTitle(request.title);
    // Line breaks as Qt writes them: a "\r" would be read out, or shown, inside the box's text.
    box.setText(QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // A path or a name in the box can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.setProperty(QuestionProperty, QVariant::fromValue(request.question));
    const auto buttons = toQtButtons(request.buttons);
    QList<QAbstractButton*> added;
    // Buttons that name their action keep their answers (Yes, No, Cancel) but not their words.
    const bool ownWords = request.captions.size() == buttons.size();
    for (auto button : buttons) {
        added << box.addButton(button);
        if (ownWords) {
            added.last()->setText(request.captions[added.size() - 1]);
            // The standard button's icon (a tick, a "no" sign) would contradict the words it now says.
            added.last()->setIcon(QIcon());
        } else {
            SetProgramText(added.last(), button, language);
        }
    }
    MarkAccessKeys(added);
    new FocusRing(box); // the box owns it
    const int defaultIndex = qBound(0, request.defaultButton, int(buttons.size()) - 1);
    box.setDefaultButton(buttons[defaultIndex]);
    // Escape or the frame's close button means Cancel where there is one, else No, else OK.
    const QMessageBox::StandardButton escape = buttons.contains(QMessageBox::Cancel) ? QMessageBox::Cancel
                                               : buttons.contains(QMessageBox::No)   ? QMessageBox::No
                                                                                     : QMessageBox::Ok;
    box.setEscapeButton(escape);
    box.exec();
    // A box closed without any button (the window system closed it) gets the escape answer, never a Yes.
    QAbstractButton* clicked = box.clickedButton();
    return fromQt(clicked ? box.standardButton(clicked) : escape);
}

QString QtDialogs::choosePath(const FileDialogRequest& request)
{
    QFileDialog dialog(parentWidget, request.title);
    dialog.setNameFilters(request.nameFilters.isEmpty() ? QStringList{QStringLiteral("*")} : request.nameFilters);
    switch (request.kind) {
    case FileDialogRequest::Kind::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        break;
    case FileDialogRequest::Kind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        dialog.setDefaultSuffix(request.defaultSuffix);
        break;
    case FileDialogRequest::Kind::Folder:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        break;
    }
    if (!request.startPath.isEmpty()) {
        const QFileInfo start(request.startPath);
        if (start.isDir()) {
            dialog.setDirectory(start.absoluteFilePath());
        } else {
            dialog.setDirectory(start.absolutePath());
            // A folder chooser opens in the file's folder; only a file chooser takes its name.
            if (request.kind != FileDialogRequest::Kind::Folder)
                dialog.selectFile(start.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void QtDialogs::setLanguage(int language)
{
    this->language = language;
    qtCatalogue.apply(language);
}

int QtDialogs::openTarget(const QString& target)
{
    const QUrl url = QUrl::fromUserInput(target);
    if (QDesktopServices::openUrl(url))
        return 0;
    // The nearest equivalent of "no program is associated with this type".
    return 31;
}
