#include "tests/support/FakeDialogs.h"

#include <QFileInfo>

namespace testsupport {

ui::MsgAnswer FakeDialogs::message(const QString& text, ui::MsgButtons buttons, ui::MsgIcon icon,
                                   const QString& title)
{
    messages.push_back({text, buttons, icon, title});
    if (messageAnswers.empty()) {
        if (buttons == ui::MsgButtons::YesNoDefaultNo)
            return ui::MsgAnswer::No;
        return buttons == ui::MsgButtons::OkCancelDefaultCancel ? ui::MsgAnswer::Cancel
                                                                : ui::MsgAnswer::Ok;
    }
    const auto answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

QString FakeDialogs::inputBox(const QString& prompt, const QString& title,
                              const QString& defaultText)
{
    inputs.push_back({prompt, title, defaultText});
    if (inputAnswers.empty())
        return QString();
    const QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

bool FakeDialogs::answerFile(ui::FileDialogState& dialog, bool save)
{
    fileAsks.push_back({save, dialog});
    if (fileAnswers.empty())
        return false;
    const auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (!answer)
        return false;
    dialog.fileName = *answer;
    dialog.fileTitle = QFileInfo(*answer).fileName();
    return true;
}

bool FakeDialogs::showSave(ui::FileDialogState& dialog)
{
    return answerFile(dialog, true);
}

bool FakeDialogs::showOpen(ui::FileDialogState& dialog)
{
    return answerFile(dialog, false);
}

int FakeDialogs::chooseItem(const QString& prompt, const QString& /*title*/,
                            const QStringList& items, int current)
{
    choices.push_back({prompt, items, current});
    if (choiceAnswers.empty())
        return -1;
    const int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

int FakeDialogs::runModal(ui::ModalWindow& window)
{
    ++modalRuns;
    if (onModal)
        return onModal(window);
    return 0;
}

bool FakeDialogs::printImage(const QImage& image, const QString& /*jobName*/)
{
    printed.push_back(image);
    return printSucceeds;
}

} // namespace testsupport
