#pragma once

#include "ui/Dialogs.h"

namespace ui {

// Dialogs where no one can be asked: a message is answered by the button that changes nothing
// (Ok, Cancel or No), input boxes, lists and file dialogs are cancelled, nothing is shown and
// no printer is there. Programs without windows derive from it and answer what they can.
class QuietDialogs : public Dialogs
{
public:
    MsgAnswer message(const QString&, MsgButtons buttons, MsgIcon, const QString&) override
    {
        return buttons == MsgButtons::Ok               ? MsgAnswer::Ok
               : buttons == MsgButtons::YesNoDefaultNo ? MsgAnswer::No
                                                       : MsgAnswer::Cancel;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    bool showSave(FileDialogState&) override { return false; }
    bool showOpen(FileDialogState&) override { return false; }
    void openTextViewer(const QString&) override {}
    int chooseItem(const QString&, const QString&, const QStringList&, int) override { return -1; }
    int runModal(ModalWindow&) override { return 0; }
    bool hasPrinter() override { return false; }
    bool printImage(const QImage&, const QString&) override { return false; }
};

} // namespace ui
