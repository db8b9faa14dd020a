#pragma once

#include <QString>
#include <QStringList>

class QImage;
class QUrl;

namespace ui {

// YesNoDefaultNo and OkCancelDefaultCancel: the default button (the one Enter presses) is the
// one that changes nothing, for questions whose careless answer would lose data.
enum class MsgButtons
{
    Ok,
    OkCancel,
    OkCancelDefaultCancel,
    YesNoDefaultNo
};
enum class MsgIcon
{
    None,
    Critical,
    Question,
    Exclamation,
    Information
};
enum class MsgAnswer
{
    Ok,
    Cancel,
    Yes,
    No
};

// What a common file dialog keeps between its uses (the main window's `Cmd`, the plot
// window's `CmdUser`): the name it shows and returns, and the filter list.
struct FileDialogState
{
    QString fileName;  // full path
    QString fileTitle; // the name without its folder
    // Pairs of description and pattern, each followed by "|":
    // "Data Files (*.user)|*.user|All Files (*.*)|*.*|".
    QString filter;
    int filterIndex = 1; // 1-based, as the filter list counts
    bool overwritePrompt = false;
    // Added by a save dialog to a name typed without an extension ("txt"); none when empty.
    QString defaultSuffix;
};

// A window that runs modal; the real dialogs run its event loop, tests drive it directly.
class ModalWindow
{
public:
    virtual ~ModalWindow() = default;
    virtual int runModal() = 0;
};

// Every modal interaction of the program goes through here, so that tests can answer it.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message box; title empty means the application's title.
    virtual MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon,
                              const QString& title = QString()) = 0;
    // An input box; returns the empty text when the user cancels.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // File dialogs: false when cancelled; otherwise fileName and fileTitle hold the choice.
    virtual bool showSave(FileDialogState& dialog) = 0;
    virtual bool showOpen(FileDialogState& dialog) = 0;
    // Shows a text file read-only, as text whatever it holds, without waiting for the user.
    virtual void openTextViewer(const QString& path) = 0;
    // Shows a document written in Markdown (the manual) read-only, without waiting for the
    // user; its pictures are looked up relative to `base`. A program without windows shows
    // nothing.
    virtual void showDocument(const QString& /*title*/, const QString& /*markdown*/,
                              const QUrl& /*base*/)
    {
    }
    // A list to pick one item from, `current` preselected; the index chosen, or -1 on cancel.
    virtual int chooseItem(const QString& prompt, const QString& title, const QStringList& items,
                           int current) = 0;
    // Runs a window modal and returns when it closes.
    virtual int runModal(ModalWindow& window) = 0;
    // Printing to the default printer.
    virtual bool hasPrinter() = 0;
    virtual bool printImage(const QImage& image, const QString& jobName) = 0;
};

} // namespace ui
