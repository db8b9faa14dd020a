#include "logger/MemoryWindow.h"

#include "logger/SetListModel.h"

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

MemoryWindow::MemoryWindow(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), m_mainWindow(mainWindow), m_sets(new SetListModel(this)),
      m_gridSet(new QTableView), m_mSize(new QProgressBar),
      m_ssPanel2(LegendPanel(QStringLiteral("SSPanel2"), QColor(0, 0, 192))),
      m_ssPanel3(LegendPanel(QStringLiteral("SSPanel3"), QColor(224, 224, 224))),
      m_lblMemorySize(new QLabel(DesignCapacity)), m_mBar(new QProgressBar),
      m_cmdCancel(new QPushButton(QStringLiteral("Cancel"))),
      m_cmdPlotSet(new QPushButton(QStringLiteral("Plot"))),
      m_cmdSaveSet(new QPushButton(QStringLiteral("Save As…"))),
      m_cmdExportSet(new QPushButton(QStringLiteral("Export CSV…"))),
      m_optLux(new QRadioButton(QStringLiteral("Lux"))),
      m_optFc(new QRadioButton(QStringLiteral("Fc")))
{
    setObjectName(QStringLiteral("Memory"));
    setWindowTitle(QStringLiteral("Data Logger"));
    m_gridSet->setObjectName(QStringLiteral("GridSet"));
    m_mSize->setObjectName(QStringLiteral("MSize"));
    m_lblMemorySize->setObjectName(QStringLiteral("LblMemorySize"));
    m_mBar->setObjectName(QStringLiteral("MBar"));
    m_cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    m_cmdCancel->setEnabled(false);
    m_cmdPlotSet->setObjectName(QStringLiteral("CmdPlotSet"));
    m_cmdSaveSet->setObjectName(QStringLiteral("CmdSaveSet"));
    m_cmdExportSet->setObjectName(QStringLiteral("CmdExportSet"));
    setSetActionsEnabled(false);
    m_optLux->setObjectName(QStringLiteral("OptLuxFc0"));
    m_optFc->setObjectName(QStringLiteral("OptLuxFc1"));

    m_gridSet->setModel(m_sets);
    m_gridSet->horizontalHeader()->hide();
    m_gridSet->verticalHeader()->hide();
    m_gridSet->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_gridSet->setSelectionMode(QAbstractItemView::SingleSelection);
    m_gridSet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QFontMetrics metrics(font());
    m_gridSet->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral(" No.S ")) + 8);
    m_gridSet->setColumnWidth(1,
                              metrics.horizontalAdvance(QStringLiteral("AAAA/AA/AA AA:AA:AA")) + 8);

    m_mSize->setRange(0, 100);
    m_mSize->setFormat(QStringLiteral("Memory Size %p%"));
    m_mSize->setToolTip(QStringLiteral("Memory Size"));
    m_mBar->setRange(0, 100);
    m_mBar->setValue(0);

    auto* gauge = new QGridLayout;
    gauge->addWidget(m_mSize, 0, 0, 1, 4);
    gauge->addWidget(m_ssPanel2, 1, 0);
    auto* label2 = new QLabel(QStringLiteral("Used"));
    label2->setObjectName(QStringLiteral("Label2"));
    gauge->addWidget(label2, 1, 1);
    gauge->addWidget(m_ssPanel3, 1, 2);
    auto* label3 = new QLabel(QStringLiteral("Unused"));
    label3->setObjectName(QStringLiteral("Label3"));
    gauge->addWidget(label3, 1, 3);
    gauge->addWidget(m_lblMemorySize, 2, 0, 1, 4);

    auto* picOptLxFc = new QGroupBox;
    picOptLxFc->setObjectName(QStringLiteral("PicOptLxFc"));
    auto* options = new QHBoxLayout(picOptLxFc);
    options->addWidget(m_optLux);
    options->addWidget(m_optFc);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(gauge);
    layout->addWidget(picOptLxFc);
    layout->addWidget(m_gridSet, 1);
    auto* transfer = new QHBoxLayout;
    transfer->addWidget(m_mBar, 1);
    transfer->addWidget(m_cmdCancel);
    layout->addLayout(transfer);
    auto* setActions = new QHBoxLayout;
    setActions->addWidget(m_cmdPlotSet);
    setActions->addWidget(m_cmdSaveSet);
    setActions->addWidget(m_cmdExportSet);
    layout->addLayout(setActions);
    resize(metrics.horizontalAdvance(QStringLiteral("AAAA/AA/AA AA:AA:AA  No.S ")) + 80, 420);

    for (QWidget* w : {static_cast<QWidget*>(m_mSize), m_ssPanel2, m_ssPanel3})
        w->installEventFilter(this);
    connect(m_gridSet, &QTableView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT gridClicked(index.row()); });
    connect(m_optLux, &QRadioButton::clicked, this, [this] { Q_EMIT unitOptionClicked(0); });
    connect(m_optFc, &QRadioButton::clicked, this, [this] { Q_EMIT unitOptionClicked(1); });
    connect(m_cmdCancel, &QPushButton::clicked, this, &MemoryWindow::cancelClicked);
    connect(m_cmdPlotSet, &QPushButton::clicked, this, &MemoryWindow::plotSetClicked);
    connect(m_cmdSaveSet, &QPushButton::clicked, this, &MemoryWindow::saveSetClicked);
    connect(m_cmdExportSet, &QPushButton::clicked, this, &MemoryWindow::exportSetClicked);
}

void MemoryWindow::startFresh()
{
    if (m_mainWindow) {
        const QRect main = m_mainWindow->frameGeometry();
        move(main.x() + main.width(), main.y());
    }
    m_sets->clear();
    m_mSize->setValue(0);
    m_mBar->setValue(0);
    m_lblMemorySize->setText(DesignCapacity);
    setSetActionsEnabled(false);
}

int MemoryWindow::currentRow() const
{
    const QModelIndex index = m_gridSet->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void MemoryWindow::setCurrentRow(int row)
{
    m_gridSet->setCurrentIndex(m_sets->index(row, 0));
}

void MemoryWindow::showMemorySize(int usedPercent, const QString& capacityText)
{
    m_mSize->setValue(usedPercent);
    m_lblMemorySize->setText(capacityText);
}

void MemoryWindow::showProgress(int percent)
{
    m_mBar->setValue(percent);
}

void MemoryWindow::setTransferRunning(bool running)
{
    m_cmdCancel->setEnabled(running);
}

void MemoryWindow::setSetActionsEnabled(bool enabled)
{
    for (QPushButton* button : {m_cmdPlotSet, m_cmdSaveSet, m_cmdExportSet})
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

} // namespace logger
