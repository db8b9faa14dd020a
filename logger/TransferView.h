#pragma once

#include "logger/TransferProgress.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QProgressDialog;
class QWidget;

namespace logger {

class MemoryWindow;

// A memory transfer as the user sees it: in the Memory window's bar with its Cancel, or, while
// that window is not shown, in a small progress window with a Cancel of its own. The transfer
// lets window events run, but no user input reaches anything else meanwhile: a click on another
// window's button is dropped (not kept for later), so nothing starts a dialog of its own in the
// middle of a transfer. A dialog that opens all the same, from a timer, still takes input.
class TransferView : public QObject, public TransferProgress
{
    Q_OBJECT
public:
    // `window` gives the Memory window, nullptr while there is none; `mainWindow` holds the
    // progress window.
    TransferView(std::function<MemoryWindow*()> window, QWidget* mainWindow);
    ~TransferView() override;

    void begin() override;
    bool advance(int percent) override;
    void end() override;
    // Cancel was clicked.
    void cancel() { m_cancelled = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showProgress(int percent);
    bool takesInput(const QWidget* widget) const;

    std::function<MemoryWindow*()> m_window;
    QWidget* m_mainWindow;
    QPointer<QProgressDialog> m_progressWindow;
    bool m_cancelled = false;
};

} // namespace logger
