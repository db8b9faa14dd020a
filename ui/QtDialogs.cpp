#include "ui/QtDialogs.h"

#include "ui/TextView.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBrowser>

namespace ui {

QWidget* QtDialogs::owner() const
{
    // A question follows what the user did in a window and opens over it: the modal window
    // that is open, else the active one; the main window when the program is in the background.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_parent;
}

QStringList QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            continue;
        // Qt reads the patterns from the last brackets of the entry.
        QString entry = parts[i];
        if (!entry.contains(QLatin1Char('(')))
            entry += QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
        result << entry;
    }
    return result;
}

MsgAnswer QtDialogs::message(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title)
{
    QMessageBox box(owner());
    // Messages carry file names and texts from the meter: shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancelDefaultCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return buttons == MsgButtons::YesNoDefaultNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
}

int QtDialogs::chooseItem(const QString& prompt, const QString& title, const QStringList& items,
                          int current)
{
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(owner(), title, prompt, items, current, false, &ok);
    return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

namespace {

bool runFileDialog(QWidget* parent, FileDialogState& state, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    const QStringList filters = QtNameFilters(state.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = std::clamp(state.filterIndex, 1, static_cast<int>(filters.size())) - 1;
        dialog.selectNameFilter(filters[index]);
    }
    if (mode == QFileDialog::AcceptSave)
        dialog.setDefaultSuffix(state.defaultSuffix);
    if (mode == QFileDialog::AcceptSave && !state.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!state.fileName.isEmpty()) {
        const QFileInfo info(state.fileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    state.fileName = dialog.selectedFiles().constFirst();
    state.fileTitle = QFileInfo(state.fileName).fileName();
    const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    if (chosen >= 0)
        state.filterIndex = chosen + 1;
    return true;
}

} // namespace

bool QtDialogs::showSave(FileDialogState& dialog)
{
    return runFileDialog(owner(), dialog, QFileDialog::AcceptSave);
}

bool QtDialogs::showOpen(FileDialogState& dialog)
{
    return runFileDialog(owner(), dialog, QFileDialog::AcceptOpen);
}

void QtDialogs::openTextViewer(const QString& path)
{
    // Our own view, never the desktop's opener: that one picks a program by sniffing the
    // content, and the content comes from the meter.
    auto* view = new TextView(m_parent);
    QString error;
    if (!view->load(path, error)) {
        delete view;
        message(QStringLiteral("The text saved in %1 cannot be shown: %2")
                    .arg(QDir::toNativeSeparators(path), error),
                MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    view->show();
    view->raise();
    view->activateWindow();
}

void QtDialogs::showDocument(const QString& title, const QString& markdown, const QUrl& base)
{
    auto* view = new QTextBrowser(m_parent);
    view->setWindowFlag(Qt::Window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setObjectName(QStringLiteral("Manual"));
    view->setWindowTitle(title);
    view->setOpenExternalLinks(true);
    view->document()->setBaseUrl(base);
    view->setMarkdown(markdown);
    view->resize(760, 640);
    view->show();
    view->raise();
    view->activateWindow();
}

bool QtDialogs::hasPrinter()
{
    return !QPrinterInfo::defaultPrinter().isNull();
}

bool QtDialogs::printImage(const QImage& image, const QString& jobName)
{
    QPrinter printer(QPrinterInfo::defaultPrinter());
    printer.setDocName(jobName);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
    return painter.end();
}

} // namespace ui
