#include "logger/MemoryWindow.h"

#include "logger/MemoryDirectory.h"
#include "logger/SetListModel.h"
#include "ui/WindowPlace.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace logger {

namespace {
const QString DesignCapacity = QStringLiteral("Capacity : 512 K");

QWidget* LegendPanel(const QString& name, const QColor& colour)
{
    auto* panel = new QWidget;
    panel->setObjectName(name);
    panel->setFixedSize(24, 14);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    return panel;
}
} // namespace

MemoryWindow::MemoryWindow(const MemoryDirectory& directory, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), m_directory(directory), m_mainWindow(mainWindow),
      m_sets(new SetListModel(this)), m_setList(new QTableView), m_usedGauge(new QProgressBar),
      m_usedLegend(LegendPanel(QStringLiteral("SSPanel2"), QColor(0, 0, 192))),
      m_unusedLegend(LegendPanel(QStringLiteral("SSPanel3"), QColor(224, 224, 224))),
      m_capacityLabel(new QLabel(DesignCapacity)), m_transferBar(new QProgressBar),
      m_cancel(new QPushButton(QStringLiteral("Cancel"))),
      m_plotSet(new QPushButton(QStringLiteral("Plot"))),
      m_saveSet(new QPushButton(QStringLiteral("Save As…"))),
      m_exportSet(new QPushButton(QStringLiteral("Export CSV…"))),
      m_lux(new QRadioButton(QStringLiteral("Lux"))), m_fc(new QRadioButton(QStringLiteral("Fc")))
{
    setObjectName(QStringLiteral("Memory"));
    setWindowTitle(QStringLiteral("Data Logger"));
    m_setList->setObjectName(QStringLiteral("GridSet"));
    m_usedGauge->setObjectName(QStringLiteral("MSize"));
    m_capacityLabel->setObjectName(QStringLiteral("LblMemorySize"));
    m_transferBar->setObjectName(QStringLiteral("MBar"));
    m_cancel->setObjectName(QStringLiteral("CmdCancel"));
    m_cancel->setEnabled(false);
    m_plotSet->setObjectName(QStringLiteral("CmdPlotSet"));
    m_saveSet->setObjectName(QStringLiteral("CmdSaveSet"));
    m_exportSet->setObjectName(QStringLiteral("CmdExportSet"));
    setSetActionsEnabled(false);
    m_lux->setObjectName(QStringLiteral("OptLuxFc0"));
    m_fc->setObjectName(QStringLiteral("OptLuxFc1"));

    m_setList->setModel(m_sets);
    m_setList->horizontalHeader()->hide();
    m_setList->verticalHeader()->hide();
    m_setList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_setList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_setList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QFontMetrics metrics(font());
    m_setList->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral(" No.S ")) + 8);
    m_setList->setColumnWidth(1,
                              metrics.horizontalAdvance(QStringLiteral("AAAA/AA/AA AA:AA:AA")) + 8);

    m_usedGauge->setRange(0, 100);
    m_usedGauge->setFormat(QStringLiteral("Memory Size %p%"));
    m_usedGauge->setToolTip(QStringLiteral("Memory Size"));
    m_transferBar->setRange(0, 100);
    m_transferBar->setValue(0);

    auto* gauge = new QGridLayout;
    gauge->addWidget(m_usedGauge, 0, 0, 1, 4);
    gauge->addWidget(m_usedLegend, 1, 0);
    auto* label2 = new QLabel(QStringLiteral("Used"));
    label2->setObjectName(QStringLiteral("Label2"));
    gauge->addWidget(label2, 1, 1);
    gauge->addWidget(m_unusedLegend, 1, 2);
    auto* label3 = new QLabel(QStringLiteral("Unused"));
    label3->setObjectName(QStringLiteral("Label3"));
    gauge->addWidget(label3, 1, 3);
    gauge->addWidget(m_capacityLabel, 2, 0, 1, 4);

    auto* picOptLxFc = new QGroupBox;
    picOptLxFc->setObjectName(QStringLiteral("PicOptLxFc"));
    auto* options = new QHBoxLayout(picOptLxFc);
    options->addWidget(m_lux);
    options->addWidget(m_fc);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(gauge);
    layout->addWidget(picOptLxFc);
    layout->addWidget(m_setList, 1);
    auto* transfer = new QHBoxLayout;
    transfer->addWidget(m_transferBar, 1);
    transfer->addWidget(m_cancel);
    layout->addLayout(transfer);
    auto* setActions = new QHBoxLayout;
    setActions->addWidget(m_plotSet);
    setActions->addWidget(m_saveSet);
    setActions->addWidget(m_exportSet);
    layout->addLayout(setActions);
    resize(metrics.horizontalAdvance(QStringLiteral("AAAA/AA/AA AA:AA:AA  No.S ")) + 80, 420);

    for (QWidget* w : {static_cast<QWidget*>(m_usedGauge), m_usedLegend, m_unusedLegend})
        w->installEventFilter(this);
    connect(m_setList, &QTableView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT setRowClicked(index.row()); });
    connect(m_lux, &QRadioButton::clicked, this, [this] { Q_EMIT unitOptionClicked(0); });
    connect(m_fc, &QRadioButton::clicked, this, [this] { Q_EMIT unitOptionClicked(1); });
    connect(m_cancel, &QPushButton::clicked, this, &MemoryWindow::cancelClicked);
    connect(m_plotSet, &QPushButton::clicked, this, &MemoryWindow::plotSetClicked);
    connect(m_saveSet, &QPushButton::clicked, this, &MemoryWindow::saveSetClicked);
    connect(m_exportSet, &QPushButton::clicked, this, &MemoryWindow::exportSetClicked);

    connect(&m_directory, &MemoryDirectory::listed, this, [this](const MemoryListing& listing) {
        showMemorySize(UsedPercent(listing.status), CapacityText(listing.status.capacity));
        m_sets->appendSets(StartTimeDisplays(listing.times));
    });
    // Whatever the meter answers afterwards, the erased sets are no longer listed.
    connect(&m_directory, &MemoryDirectory::cleared, this, [this] {
        m_sets->clear();
        showMemorySize(0, CapacityText(m_directory.status().capacity));
    });
}

void MemoryWindow::startFresh()
{
    if (m_mainWindow) {
        const QRect main = m_mainWindow->frameGeometry();
        ui::PlaceRemembered(*this, QStringLiteral("Memory"),
                            QPoint(main.x() + main.width(), main.y()), *m_mainWindow);
    }
    m_sets->clear();
    m_usedGauge->setValue(0);
    m_transferBar->setValue(0);
    m_capacityLabel->setText(DesignCapacity);
    setSetActionsEnabled(false);
}

int MemoryWindow::currentRow() const
{
    const QModelIndex index = m_setList->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void MemoryWindow::showMemorySize(int usedPercent, const QString& capacityText)
{
    m_usedGauge->setValue(usedPercent);
    m_capacityLabel->setText(capacityText);
}

void MemoryWindow::showProgress(int percent)
{
    m_transferBar->setValue(percent);
}

void MemoryWindow::setTransferRunning(bool running)
{
    m_cancel->setEnabled(running);
}

const QWidget* MemoryWindow::cancelButton() const
{
    return m_cancel;
}

void MemoryWindow::setSetActionsEnabled(bool enabled)
{
    for (QPushButton* button : {m_plotSet, m_saveSet, m_exportSet})
        button->setEnabled(enabled);
}

bool MemoryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Q_EMIT eraseClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MemoryWindow::hideEvent(QHideEvent* event)
{
    ui::RememberPlace(*this, QStringLiteral("Memory"));
    QWidget::hideEvent(event);
}

} // namespace logger
