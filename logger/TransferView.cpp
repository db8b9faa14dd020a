#include "logger/TransferView.h"

#include "logger/MemoryWindow.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>

namespace logger {

namespace {

// What only a user's hand sends. A shortcut comes from a key press but is not marked as the
// user's own.
bool FromUser(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::Shortcut:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::Close:
        return event.spontaneous();
    default:
        return false;
    }
}

bool Inside(const QWidget* widget, const QWidget* area)
{
    return area != nullptr && (area == widget || area->isAncestorOf(widget));
}

} // namespace

TransferView::TransferView(std::function<MemoryWindow*()> window, QWidget* mainWindow)
    : m_window(std::move(window)), m_mainWindow(mainWindow)
{
}

TransferView::~TransferView()
{
    delete m_progressWindow;
}

void TransferView::begin()
{
    m_cancelled = false;
    QCoreApplication::instance()->installEventFilter(this);
    if (MemoryWindow* window = m_window())
        window->setTransferRunning(true);
}

bool TransferView::advance(int percent)
{
    // Once cancelled, the bar stays where it was while the rest the meter sends is dropped.
    if (!m_cancelled)
        showProgress(percent);
    QCoreApplication::processEvents();
    return !m_cancelled;
}

void TransferView::showProgress(int percent)
{
    if (MemoryWindow* window = m_window(); window != nullptr && window->isVisible()) {
        window->showProgress(percent);
        return;
    }
    if (m_progressWindow == nullptr) {
        m_progressWindow = new QProgressDialog(QStringLiteral("Reading the meter's memory…"),
                                               QStringLiteral("Cancel"), 0, 100, m_mainWindow);
        m_progressWindow->setWindowTitle(QStringLiteral("Data Logger"));
        m_progressWindow->setAutoReset(false);
        m_progressWindow->setAutoClose(false);
        m_progressWindow->setMinimumDuration(0);
        connect(m_progressWindow, &QProgressDialog::canceled, this, &TransferView::cancel);
        m_progressWindow->show();
    }
    m_progressWindow->setValue(percent);
}

void TransferView::end()
{
    QCoreApplication::instance()->removeEventFilter(this);
    delete m_progressWindow;
    if (MemoryWindow* window = m_window()) {
        window->setTransferRunning(false);
        if (m_cancelled)
            window->showProgress(0);
    }
}

bool TransferView::takesInput(const QWidget* widget) const
{
    const MemoryWindow* window = m_window();
    return Inside(widget, window ? window->cancelButton() : nullptr) ||
           Inside(widget, m_progressWindow) || Inside(widget, QApplication::activeModalWidget());
}

bool TransferView::eventFilter(QObject* watched, QEvent* event)
{
    // A window passes its input on to its widgets, which are judged here.
    if (!FromUser(*event) || watched->isWindowType())
        return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget != nullptr && takesInput(widget))
        return false;
    // A window's close refused, not only unseen.
    event->ignore();
    return true;
}

} // namespace logger
