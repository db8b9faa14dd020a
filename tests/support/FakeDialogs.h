#pragma once

#include "ui/Dialogs.h"

#include <QImage>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace testsupport {

// Answers the program's modal questions from a script and records what was asked.
class FakeDialogs : public ui::Dialogs
{
public:
    struct Message
    {
        QString text;
        ui::MsgButtons buttons;
        ui::MsgIcon icon;
        QString title;
    };
    struct Input
    {
        QString prompt;
        QString title;
        QString defaultText;
    };
    struct FileAsk
    {
        bool save;
        ui::FileDialogState before; // the dialog's state when it was shown
    };

    struct Choice
    {
        QString prompt;
        QStringList items;
        int current;
    };

    // Scripted answers, used in order; when a queue is empty: the default button (Ok, No or
    // Cancel), "", cancel, -1.
    std::deque<ui::MsgAnswer> messageAnswers;
    std::deque<QString> inputAnswers;
    std::deque<std::optional<QString>> fileAnswers; // nullopt = cancel
    std::deque<int> choiceAnswers;
    // Called with the window when it is run modal; closes it when unset.
    std::function<int(ui::ModalWindow&)> onModal;
    bool printerPresent = true;
    bool printSucceeds = true;

    // What happened.
    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<FileAsk> fileAsks;
    std::vector<Choice> choices;
    QStringList viewedFiles;
    std::vector<QImage> printed;
    std::vector<std::pair<QString, QString>> documents; // shown: title and text
    int modalRuns = 0;

    ui::MsgAnswer message(const QString& text, ui::MsgButtons buttons, ui::MsgIcon icon,
                          const QString& title = QString()) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    bool showSave(ui::FileDialogState& dialog) override;
    bool showOpen(ui::FileDialogState& dialog) override;
    void openTextViewer(const QString& path) override { viewedFiles << path; }
    void showDocument(const QString& title, const QString& markdown, const QUrl& /*base*/) override
    {
        documents.emplace_back(title, markdown);
    }
    int chooseItem(const QString& prompt, const QString& title, const QStringList& items,
                   int current) override;
    int runModal(ui::ModalWindow& window) override;
    bool hasPrinter() override { return printerPresent; }
    bool printImage(const QImage& image, const QString& jobName) override;

private:
    bool answerFile(ui::FileDialogState& dialog, bool save);
};

} // namespace testsupport
