#pragma once

#include "ui/Dialogs.h"

class QWidget;

namespace ui {

// The real dialogs: Qt message boxes, input boxes, file dialogs, the default printer and our
// own read-only text view.
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon,
                      const QString& title = QString()) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    bool showSave(FileDialogState& dialog) override;
    bool showOpen(FileDialogState& dialog) override;
    void openTextViewer(const QString& path) override;
    void showDocument(const QString& title, const QString& markdown, const QUrl& base) override;
    int chooseItem(const QString& prompt, const QString& title, const QStringList& items,
                   int current) override;
    int runModal(ModalWindow& window) override { return window.runModal(); }
    bool hasPrinter() override;
    bool printImage(const QImage& image, const QString& jobName) override;

private:
    QWidget* owner() const;

    QWidget* m_parent;
};

// "Data Files (*.user)|*.user|All Files (*.*)|*.*|" as a Qt name filter list.
QStringList qtNameFilters(const QString& filter);

} // namespace ui
