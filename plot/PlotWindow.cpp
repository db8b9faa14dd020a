#include "plot/PlotWindow.h"

#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/SaveDialog.h"
#include "plot/PlotExport.h"
#include "plot/RangeStatistics.h"
#include "ui/Services.h"
#include "ui/TextValue.h"
#include "ui/WorkingFiles.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace plot {

namespace {

// Markers drawn between two looks at the clock, and how long one slice may run before the
// window's events get their turn: a few times a second keeps it responsive without slowing
// the drawing down.
constexpr std::int64_t MarkersPerCheck = 4096;
constexpr qint64 SliceMs = 100;
// Records the statistics take between two looks at the clock.
constexpr std::int64_t StatisticsPerCheck = 1 << 16;

QLineEdit* MakeBox(const QString& name, int width, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(name);
    box->setFixedWidth(width);
    return box;
}

} // namespace

PlotWindow::PlotWindow(ui::Services& services, std::function<void()> resumePoll,
                       QWidget* mainWindow, PlotSettings& settings)
    : QWidget(nullptr), m_services(services), m_resumePoll(std::move(resumePoll)),
      m_settings(settings), m_timer1(new QTimer(this)), m_sliceTimer(new QTimer(this)),
      m_markersPerCheck(MarkersPerCheck), m_sliceMs(SliceMs)
{
    setObjectName(QStringLiteral("Plot"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(420, 360);
    // 650 leaves room right of the frame for the last horizontal label.
    resize(650, 660);

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &PlotWindow::startPlotStage);
    m_sliceTimer->setSingleShot(true);
    m_sliceTimer->setInterval(0);
    connect(m_sliceTimer, &QTimer::timeout, this, &PlotWindow::drawSlice);

    buildToolbar();
    buildRangePanel();
    buildRegionPanel();
    buildStatisticsPanel();
    buildReportButtons();

    // Placed beside the main window, with the default range.
    if (mainWindow != nullptr) {
        const QRect main = mainWindow->frameGeometry();
        move(main.x() + main.width(), main.y());
    }
    m_axisMax = m_services.plot.DefaultAxisMax;
    m_axisMin = m_services.plot.DefaultAxisMin;
    m_gridColour = DefaultGridColour;
    setWindowTitle(QStringLiteral("Plot File"));
}

PlotWindow::~PlotWindow() = default;

void PlotWindow::buildToolbar()
{
    m_toolbar1 = new QToolBar(this);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setMovable(false);
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct Button
    {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[] = {{"Unit", "User Define", QStyle::SP_FileDialogDetailedView},
                              {"Resize", "Plot Range", QStyle::SP_TitleBarMaxButton},
                              {"Print", "Print", QStyle::SP_DialogSaveButton}};
    for (const Button& b : buttons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* action =
            m_toolbar1->addAction(style()->standardIcon(b.icon), QString::fromLatin1(b.tip));
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(b.tip));
        if (QWidget* button = m_toolbar1->widgetForAction(action)) {
            button->setObjectName(key);
            button->setAccessibleName(QString::fromLatin1(b.tip));
        }
        connect(action, &QAction::triggered, this, [this, key] { runToolbarButton(key); });
    }
    m_toolbar1->adjustSize();
}

void PlotWindow::buildRangePanel()
{
    m_pictureRange = new QFrame(this);
    m_pictureRange->setObjectName(QStringLiteral("PictureRange"));
    m_pictureRange->setFrameShape(QFrame::StyledPanel);
    m_pictureRange->setAutoFillBackground(true);

    const auto labelled = [](const QString& name, const QString& caption, QLineEdit* box,
                             QGridLayout* grid, int row) {
        auto* label = new QLabel(caption);
        label->setObjectName(name);
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
    };

    auto* range = new QGroupBox(QStringLiteral("Range"), m_pictureRange);
    range->setObjectName(QStringLiteral("SSFrame1"));
    auto* rangeGrid = new QGridLayout(range);
    m_txtTMin = MakeBox(QStringLiteral("TxtTMin"), 80, range);
    m_txtTMax = MakeBox(QStringLiteral("TxtTMax"), 80, range);
    labelled(QStringLiteral("SSPanel5"), QStringLiteral("Min"), m_txtTMin, rangeGrid, 0);
    labelled(QStringLiteral("SSPanel4"), QStringLiteral("Max"), m_txtTMax, rangeGrid, 1);

    auto* records = new QGroupBox(QStringLiteral("Records"), m_pictureRange);
    records->setObjectName(QStringLiteral("SSFrame4"));
    auto* recordGrid = new QGridLayout(records);
    m_txtFrom = MakeBox(QStringLiteral("TxtFrom"), 80, records);
    m_txtTo = MakeBox(QStringLiteral("TxtTo"), 80, records);
    labelled(QStringLiteral("SSPanel9"), QStringLiteral("From"), m_txtFrom, recordGrid, 0);
    labelled(QStringLiteral("SSPanel8"), QStringLiteral("To"), m_txtTo, recordGrid, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), m_pictureRange);
    ok->setObjectName(QStringLiteral("CmdRangeOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), m_pictureRange);
    cancel->setObjectName(QStringLiteral("CmdRangeCancel"));
    connect(ok, &QPushButton::clicked, this, &PlotWindow::applyRange);
    connect(cancel, &QPushButton::clicked, this, &PlotWindow::hideRange);
    for (QLineEdit* box : {m_txtTMin, m_txtTMax, m_txtFrom, m_txtTo})
        connect(box, &QLineEdit::returnPressed, this, &PlotWindow::applyRange);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(m_pictureRange);
    layout->addWidget(range);
    layout->addWidget(records);
    layout->addLayout(buttons);
    m_pictureRange->adjustSize();
    m_pictureRange->hide();
}

void PlotWindow::buildRegionPanel()
{
    m_picUser = new RegionPanel(m_services.dialogs, m_services.fileState, this);
    connect(m_picUser, &RegionPanel::okClicked, this, &PlotWindow::showRegions);
    connect(m_picUser, &RegionPanel::exitClicked, this, &PlotWindow::hideRegions);
    m_picUser->hide();
}

void PlotWindow::placePanels()
{
    m_toolbar1->setGeometry(0, 0, width(), m_toolbar1->sizeHint().height());
    const int top = m_toolbar1->height() + 4;
    m_pictureRange->move(8, top);
    m_picUser->move(std::max(8, width() - m_picUser->width() - 8), top);
    m_picStats->move(std::max(8, width() - m_picStats->width() - 8), top);
}

void PlotWindow::resizeEvent(QResizeEvent* /*event*/)
{
    placePanels();
    redraw();
}

void PlotWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    painter.drawImage(0, 0, m_picture);
}

void PlotWindow::closeEvent(QCloseEvent* event)
{
    // Nothing half-drawn carries on once the window is gone.
    m_timer1->stop();
    cancelPlotStage();
    QWidget::closeEvent(event);
}

void PlotWindow::redraw()
{
    cancelPlotStage();
    const QSize size(std::max(1, width()), std::max(1, height()));
    if (m_picture.size() != size)
        m_picture = QImage(size, QImage::Format_RGB32);
    m_frame = FrameFromClient(size.width(), size.height());
    DrawResizeStage(m_picture, PlotView{m_frame, m_axisMin, m_axisMax}, font(),
                    palette().color(QPalette::Window));
    update();
    m_timer1->start();
}

void PlotWindow::showNewRecords()
{
    setWindowTitle(m_services.fileState.CurrentFileName);
    for (int row = 0; row < StatisticsRowCount; ++row)
        for (int column = 0; column < StatisticsColumnCount; ++column)
            m_gridStats->item(row, column)->setText(QString());
    m_lblStats->clear();
    if (m_pictureRange->isVisible())
        fillRangeTexts();
    redraw();
}

void PlotWindow::startPlotStage()
{
    m_timer1->stop();
    cancelPlotStage();
    const bool regionsOn = m_settings.RegionsOn;
    if (regionsOn)
        m_stageRegions = regionRows();
    m_stage = std::make_unique<PlotStage>(PlotView{m_frame, m_axisMin, m_axisMax}, m_services.plot,
                                          regionsOn ? &m_stageRegions : nullptr, m_gridColour);
    m_stage->setCaptionSink([this](const QString& caption) { setWindowTitle(caption); });
    m_statistics = std::make_unique<RangeStatisticsRun>(m_services.plot,
                                                        regionsOn ? &m_stageRegions : nullptr);
    {
        QPainter painter(&m_picture);
        m_stage->drawFixed(painter, m_picture.size());
    }
    if (regionsOn)
        m_picUser->hide();
    drawSlice();
}

void PlotWindow::drawSlice()
{
    if (!m_stage)
        return;
    QElapsedTimer clock;
    clock.start();
    advanceStatistics(clock);
    {
        QPainter painter(&m_picture);
        while (!m_stage->drawMarkers(painter, m_picture.size(), m_markersPerCheck)) {
            if (clock.elapsed() >= m_sliceMs)
                break;
        }
    }
    update();
    if (!m_stage->finished() || m_statistics) {
        // Let the window's events run, then go on where this slice stopped.
        m_sliceTimer->start();
        return;
    }
    m_stage.reset();
    setWindowTitle(m_services.fileState.CurrentFileName);
    if (m_resumePoll)
        m_resumePoll();
}

void PlotWindow::setSliceLimits(std::int64_t markersPerCheck, qint64 sliceMs)
{
    m_markersPerCheck = std::max<std::int64_t>(1, markersPerCheck);
    m_sliceMs = std::max<qint64>(0, sliceMs);
}

void PlotWindow::cancelPlotStage()
{
    m_sliceTimer->stop();
    m_stage.reset();
    m_statistics.reset();
}

void PlotWindow::runToolbarButton(const QString& key)
{
    if (key == QLatin1String("Unit")) {
        m_picUser->setVisible(!m_picUser->isVisible());
        if (m_picUser->isVisible())
            m_picUser->raise();
    } else if (key == QLatin1String("Resize")) {
        fillRangeTexts();
        m_pictureRange->setVisible(!m_pictureRange->isVisible());
        if (m_pictureRange->isVisible())
            m_pictureRange->raise();
    } else if (key == QLatin1String("Print")) {
        m_pictureRange->hide();
        m_picUser->hide();
        m_toolbar1->hide();
        printPicture();
        m_toolbar1->show();
    }
}

void PlotWindow::fillRangeTexts()
{
    m_txtTMax->setText(ui::NumberText(m_axisMax));
    m_txtTMin->setText(ui::NumberText(m_axisMin));
    m_txtFrom->setText(ui::NumberText(m_services.plot.PlotFrom));
    m_txtTo->setText(ui::NumberText(m_services.plot.PlotTo));
}

void PlotWindow::printPicture()
{
    ui::Dialogs& dialogs = m_services.dialogs;
    if (!dialogs.hasPrinter()) {
        offerPdf();
        return;
    }
    if (!dialogs.printImage(m_picture, windowTitle()))
        dialogs.message(QStringLiteral("The plot could not be printed."), ui::MsgButtons::Ok,
                        ui::MsgIcon::Exclamation);
}

void PlotWindow::offerPdf()
{
    ui::Dialogs& dialogs = m_services.dialogs;
    if (dialogs.message(QStringLiteral("No printer is installed. Save the plot as a PDF file?"),
                        ui::MsgButtons::OkCancel, ui::MsgIcon::Question) != ui::MsgAnswer::Ok)
        return;
    m_pdfDialog.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*|");
    m_pdfDialog.filterIndex = 1;
    m_pdfDialog.overwritePrompt = true;
    if (m_pdfDialog.fileName.isEmpty())
        m_pdfDialog.fileName = QStringLiteral("Plot.pdf");
    if (!ui::AskSaveName(dialogs, m_pdfDialog) || m_pdfDialog.fileTitle.isEmpty())
        return;
    QString reason;
    if (!WritePicturePdf(m_picture, m_pdfDialog.fileName, windowTitle(), reason))
        dialogs.message(QStringLiteral("The PDF file could not be written: %1\n%2")
                            .arg(QDir::toNativeSeparators(m_pdfDialog.fileName), reason),
                        ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
}

void PlotWindow::applyRange()
{
    files::PlotData& plotData = m_services.plot;
    std::array<double, 4> typed{};
    const std::array<std::pair<QLineEdit*, const char*>, 4> boxes = {
        {{m_txtFrom, "From"}, {m_txtTo, "To"}, {m_txtTMin, "Min"}, {m_txtTMax, "Max"}}};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const std::optional<double> value = ui::TypedNumber(boxes[i].first->text());
        if (!value) {
            m_services.dialogs.message(QStringLiteral("%1 holds no number, try again!")
                                           .arg(QLatin1String(boxes[i].second)),
                                       ui::MsgButtons::Ok, ui::MsgIcon::Critical);
            return;
        }
        typed[i] = *value;
    }
    const auto [from, to, axisMin, axisMax] = typed;
    if (const auto refusal = RangeRefusal(from, to, plotData.RecordCount, axisMin, axisMax)) {
        m_services.dialogs.message(*refusal, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return;
    }
    plotData.PlotFrom = from;
    plotData.PlotTo = to;
    plotData.PlotCount = to - from + 1;
    m_axisMax = axisMax;
    m_axisMin = axisMin;
    m_pictureRange->hide();
    redraw();
}

void PlotWindow::hideRange()
{
    m_pictureRange->hide();
}

void PlotWindow::showRegions()
{
    m_settings.RegionsOn = true;
    redraw();
}

void PlotWindow::hideRegions()
{
    m_settings.RegionsOn = false;
    m_picUser->hide();
    redraw();
}

void PlotWindow::saveRegions()
{
    m_picUser->save();
}

void PlotWindow::loadRegions()
{
    m_picUser->load();
}

RegionRows PlotWindow::regionRows() const
{
    return m_picUser->rows();
}

void PlotWindow::setRegionRows(const RegionRows& rows)
{
    m_picUser->setRows(rows);
}

void PlotWindow::buildReportButtons()
{
    struct Button
    {
        const char* key;
        const char* caption;
        const char* tip;
        void (PlotWindow::*run)();
    };
    const Button buttons[] = {
        {"Stats", "Statistics", "Show or hide the statistics of the plotted records", nullptr},
        {"ExportCsv", "Export CSV\u2026",
         "Export every record of the opened file (not only the plotted range) as CSV",
         &PlotWindow::exportCsv},
        {"ExportPicture", "Export Picture\u2026", "Save the plot as a PNG or SVG picture",
         &PlotWindow::exportPicture}};
    for (const Button& b : buttons) {
        QAction* action = m_toolbar1->addAction(QString::fromUtf8(b.caption));
        action->setObjectName(QString::fromLatin1(b.key));
        action->setToolTip(QString::fromLatin1(b.tip));
        if (auto* button = qobject_cast<QToolButton*>(m_toolbar1->widgetForAction(action))) {
            button->setObjectName(action->objectName());
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        }
        if (b.run == nullptr) {
            action->setCheckable(true);
            action->setChecked(true);
            connect(action, &QAction::toggled, m_picStats, &QWidget::setVisible);
        } else {
            connect(action, &QAction::triggered, this, b.run);
        }
    }
    m_toolbar1->adjustSize();
}

void PlotWindow::buildStatisticsPanel()
{
    m_picStats = new QFrame(this);
    m_picStats->setObjectName(QStringLiteral("PicStats"));
    m_picStats->setFrameShape(QFrame::StyledPanel);
    m_picStats->setAutoFillBackground(true);

    m_gridStats = new QTableWidget(StatisticsRowCount, StatisticsColumnCount, m_picStats);
    m_gridStats->setObjectName(QStringLiteral("GridStats"));
    m_gridStats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gridStats->setSelectionMode(QAbstractItemView::NoSelection);
    m_gridStats->setFocusPolicy(Qt::NoFocus);
    m_gridStats->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gridStats->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gridStats->setHorizontalHeaderLabels({QStringLiteral("count"), QStringLiteral("min"),
                                            QStringLiteral("max"), QStringLiteral("mean"),
                                            QStringLiteral("SD")});
    m_gridStats->setVerticalHeaderLabels({QStringLiteral("x"), QStringLiteral("y"),
                                          QStringLiteral("Ev"), QStringLiteral("Tcp"),
                                          QString::fromUtf8("\u0394uv")});
    m_gridStats->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_gridStats->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    for (int row = 0; row < StatisticsRowCount; ++row) {
        for (int column = 0; column < StatisticsColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_gridStats->setItem(row, column, item);
        }
    }
    m_lblStats = new QLabel(m_picStats);
    m_lblStats->setObjectName(QStringLiteral("LblStats"));

    auto* layout = new QVBoxLayout(m_picStats);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_gridStats);
    layout->addWidget(m_lblStats);
    fitStatisticsPanel();
}

void PlotWindow::advanceStatistics(const QElapsedTimer& clock)
{
    if (!m_statistics)
        return;
    while (!m_statistics->advance(StatisticsPerCheck)) {
        if (clock.elapsed() >= m_sliceMs)
            return;
    }
    const RangeStatistics& result = m_statistics->result();
    for (int row = 0; row < StatisticsRowCount; ++row)
        for (int column = 0; column < StatisticsColumnCount; ++column)
            m_gridStats->item(row, column)
                ->setText(StatisticsCell(result, static_cast<StatisticsRow>(row), column));
    QStringList lines(QStringLiteral("Records: %1 plotted, not numbers: %2")
                          .arg(result.plotted)
                          .arg(result.notNumbers));
    for (const RegionShare& share : result.regions)
        lines << RegionShareLine(share, result.plotted);
    m_lblStats->setText(lines.join(QLatin1Char('\n')));
    m_statistics.reset();
    fitStatisticsPanel();
    placePanels();
}

void PlotWindow::fitStatisticsPanel()
{
    // The table as large as its cells, without scrolling.
    m_gridStats->resizeColumnsToContents();
    const int frame = 2 * m_gridStats->frameWidth();
    m_gridStats->setFixedSize(m_gridStats->verticalHeader()->sizeHint().width() +
                                  m_gridStats->horizontalHeader()->length() + frame,
                              m_gridStats->horizontalHeader()->sizeHint().height() +
                                  m_gridStats->verticalHeader()->length() + frame);
    m_picStats->adjustSize();
}

void PlotWindow::exportCsv()
{
    ui::Dialogs& dialogs = m_services.dialogs;
    const QString source = m_services.plot.SourcePath;
    if (source.isEmpty()) {
        dialogs.message(QStringLiteral("No data file is open."), ui::MsgButtons::Ok,
                        ui::MsgIcon::Exclamation);
        return;
    }
    m_csvDialog.filter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|");
    m_csvDialog.filterIndex = 1;
    m_csvDialog.overwritePrompt = true;
    if (m_csvDialog.fileName.isEmpty()) {
        const QFileInfo info(source);
        m_csvDialog.fileName =
            info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv"));
    }
    if (!ui::AskSaveName(dialogs, m_csvDialog) || m_csvDialog.fileTitle.isEmpty())
        return;
    QString reason;
    // A million records take a moment.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = files::ExportDataFileCsv(source, m_csvDialog.fileName, reason);
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        dialogs.message(QStringLiteral("The CSV file could not be written: %1\n%2")
                            .arg(QDir::toNativeSeparators(m_csvDialog.fileName), reason),
                        ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
}

void PlotWindow::exportPicture()
{
    ui::Dialogs& dialogs = m_services.dialogs;
    m_pictureDialog.filter = PictureDialogFilter();
    m_pictureDialog.overwritePrompt = true;
    if (m_pictureDialog.fileName.isEmpty())
        m_pictureDialog.fileName = QStringLiteral("Plot.png");
    if (!ui::AskSaveName(dialogs, m_pictureDialog) || m_pictureDialog.fileTitle.isEmpty())
        return;
    const QString typed =
        dialogs.inputBox(QStringLiteral("Width x Height"), QStringLiteral("Export Picture"),
                         QStringLiteral("%1 x %2").arg(m_picture.width()).arg(m_picture.height()));
    if (typed.trimmed().isEmpty())
        return;
    QString reason;
    const std::optional<QSize> size = ParsePictureSize(typed, reason);
    if (!size) {
        dialogs.message(reason, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    const RegionRows regions = regionRows();
    const PlotPicture picture{*size,
                              m_axisMin,
                              m_axisMax,
                              &m_services.plot,
                              m_settings.RegionsOn ? &regions : nullptr,
                              m_gridColour,
                              font(),
                              palette().color(QPalette::Window)};
    const QString& path = m_pictureDialog.fileName;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written =
        WritePlotPicture(picture, PictureFormatOf(path, m_pictureDialog.filterIndex), path, reason);
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        dialogs.message(QStringLiteral("The picture could not be written: %1\n%2")
                            .arg(QDir::toNativeSeparators(path), reason),
                        ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
}

PlotViewer::PlotViewer(ui::Services& services, std::function<void()> resumePoll,
                       QWidget* mainWindow)
    : m_services(services), m_resumePoll(std::move(resumePoll)), m_mainWindow(mainWindow)
{
}

PlotViewer::~PlotViewer()
{
    delete m_window.data();
}

PlotWindow* PlotViewer::showAndDraw()
{
    if (m_window) {
        if (m_window->isMinimized())
            m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
        m_window->raise();
        m_window->activateWindow();
        m_window->showNewRecords();
        return m_window;
    }
    m_window = new PlotWindow(m_services, m_resumePoll, m_mainWindow, m_settings);
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->show();
    return m_window;
}

} // namespace plot
