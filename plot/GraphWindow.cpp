#include "plot/GraphWindow.h"

#include "plot/RegionPanel.h"
#include "ui/KeyFilter.h"
#include "ui/Settings.h"
#include "ui/TextValue.h"
#include "ui/WindowPlace.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace plot {

namespace {

// One wheel notch zooms by a quarter.
constexpr double ZoomPerNotch = 1.25;

QLineEdit* makeBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(name);
    box->setFixedWidth(70);
    return box;
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

GraphCanvas::GraphCanvas(GraphViewport& viewport, const GraphModel& model, QWidget* parent)
    : QWidget(parent), m_viewport(viewport), m_model(model)
{
    setObjectName(QStringLiteral("GraphView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(360, 300);
    setCursor(Qt::OpenHandCursor);
}

void GraphCanvas::redrawAll()
{
    const QSize size(std::max(1, width()), std::max(1, height()));
    m_viewport.setSize(size);
    m_picture.drawBackground(size, m_viewport, m_model, font(), palette().color(QPalette::Window));
    update();
}

void GraphCanvas::liveChanged()
{
    // Only what the live layer covered and covers now; the rest of the picture stays.
    update(m_picture.liveChanged(m_viewport, m_model));
}

void GraphCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    m_picture.paint(painter, event->rect());
}

void GraphCanvas::resizeEvent(QResizeEvent* /*event*/)
{
    redrawAll();
}

void GraphCanvas::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    m_viewport.zoomAt(event->position(), std::pow(ZoomPerNotch, notches));
    redrawAll();
    event->accept();
}

void GraphCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragFrom = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void GraphCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragFrom)
        return;
    m_viewport.panBy(event->position() - *m_dragFrom);
    m_dragFrom = event->position();
    redrawAll();
}

void GraphCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragFrom.reset();
    setCursor(Qt::OpenHandCursor);
}

GraphWindow::GraphWindow(ui::Dialogs& dialogs, QWidget* placeNextTo)
    : QWidget(nullptr), m_dialogs(dialogs), m_placeNextTo(placeNextTo),
      m_canvas(new GraphCanvas(m_viewport, m_model, this))
{
    setObjectName(QStringLiteral("Graph"));
    setWindowTitle(QStringLiteral("Graphic Display"));

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_canvas, 1);
    middle->addWidget(buildReadout());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildControls());
    layout->addLayout(middle, 1);

    m_regionPanel = new RegionPanel(m_dialogs, this);
    connect(m_regionPanel, &RegionPanel::okClicked, this, &GraphWindow::applyRows);
    connect(m_regionPanel, &RegionPanel::exitClicked, m_regionPanel, &QWidget::hide);
    m_regionPanel->hide();
    buildLimitsPanel();

    listRegions();
    showTexts();
    resize(960, 660);
    restoreSettings();
}

GraphWindow::~GraphWindow()
{
    // A window still open when the program ends is kept as it is.
    if (isVisible())
        rememberSettings();
}

namespace {
const QString GraphName = QStringLiteral("Graph");
const QString DiagramKey = QStringLiteral("Graph/diagram");
const QString RegionKey = QStringLiteral("Graph/region");
} // namespace

void GraphWindow::restoreSettings()
{
    const ui::Settings settings;
    m_regionPanel->restoreRows(GraphName);
    m_model.setUserRows(m_regionPanel->rows());
    listRegions();
    // A region kept by a name no longer on offer leaves none chosen.
    const int region = m_comboRegion->findText(settings.value(RegionKey).toString());
    if (region > 0) {
        m_model.choose(region - 1);
        m_comboRegion->setCurrentIndex(region);
    }
    if (settings.value(DiagramKey).toString() == QLatin1String("uv"))
        m_optUV->setChecked(true);
    showTexts();
}

void GraphWindow::rememberSettings() const
{
    ui::Settings settings;
    m_regionPanel->rememberRows(GraphName);
    settings.setValue(DiagramKey,
                      m_optUV->isChecked() ? QStringLiteral("uv") : QStringLiteral("xy"));
    settings.setValue(RegionKey, m_model.chosenRegion() ? m_model.chosenRegion()->name : QString());
    ui::RememberPlace(*this, GraphName);
}

void GraphWindow::hideEvent(QHideEvent* event)
{
    rememberSettings();
    QWidget::hideEvent(event);
}

QWidget* GraphWindow::buildControls()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_optXY = new QRadioButton(QStringLiteral("x, y"), bar);
    m_optXY->setObjectName(QStringLiteral("OptXY"));
    m_optUV = new QRadioButton(QStringLiteral("u', v'"), bar);
    m_optUV->setObjectName(QStringLiteral("OptUV"));
    m_optXY->setChecked(true);
    auto* group = new QButtonGroup(bar);
    group->addButton(m_optXY);
    group->addButton(m_optUV);
    connect(m_optXY, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setDiagram(Diagram::XY);
    });
    connect(m_optUV, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setDiagram(Diagram::UV);
    });

    auto* regionLabel = new QLabel(QStringLiteral("Region"), bar);
    m_comboRegion = new QComboBox(bar);
    m_comboRegion->setObjectName(QStringLiteral("ComboRegion"));
    m_comboRegion->setMinimumContentsLength(10);
    regionLabel->setBuddy(m_comboRegion);
    connect(m_comboRegion, &QComboBox::activated, this, &GraphWindow::chooseRegion);

    QPushButton* fitButton = makeButton(QStringLiteral("CmdFit"), QStringLiteral("Fit"), bar);
    QPushButton* regions =
        makeButton(QStringLiteral("CmdRegions"), QStringLiteral("User Define"), bar);
    QPushButton* limits = makeButton(QStringLiteral("CmdLimits"), QStringLiteral("Limits"), bar);
    connect(fitButton, &QPushButton::clicked, this, &GraphWindow::fit);
    connect(regions, &QPushButton::clicked, this, [this] {
        m_picLimits->hide();
        m_regionPanel->setVisible(!m_regionPanel->isVisible());
        m_regionPanel->raise();
    });
    connect(limits, &QPushButton::clicked, this, [this] {
        m_regionPanel->hide();
        m_picLimits->setVisible(!m_picLimits->isVisible());
        m_picLimits->raise();
    });

    row->addWidget(m_optXY);
    row->addWidget(m_optUV);
    row->addSpacing(16);
    row->addWidget(regionLabel);
    row->addWidget(m_comboRegion);
    row->addWidget(fitButton);
    row->addStretch();
    row->addWidget(regions);
    row->addWidget(limits);
    return bar;
}

QWidget* GraphWindow::buildReadout()
{
    auto* column = new QWidget(this);
    column->setFixedWidth(190);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto label = [column, layout](const char* name) {
        auto* l = new QLabel(column);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        layout->addWidget(l);
        return l;
    };
    m_lblVerdict = label("LblVerdict");
    QFont big = m_lblVerdict->font();
    big.setPointSize(30);
    big.setBold(true);
    m_lblVerdict->setFont(big);
    m_lblVerdict->setAlignment(Qt::AlignCenter);
    m_lblVerdict->setMinimumHeight(64);
    m_lblDeltaUV = label("LblDeltaUV");
    m_lblReading = label("LblReading");
    m_lblInside = label("LblInside");
    layout->addStretch();
    return column;
}

void GraphWindow::buildLimitsPanel()
{
    m_picLimits = new QFrame(this);
    m_picLimits->setObjectName(QStringLiteral("PicLimits"));
    m_picLimits->setFrameShape(QFrame::StyledPanel);
    m_picLimits->setAutoFillBackground(true);
    auto* grid = new QGridLayout(m_picLimits);
    grid->addWidget(new QLabel(QStringLiteral("From")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("To")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("CCT (K)")), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Duv")), 2, 0);
    m_txtCctFrom = makeBox(QStringLiteral("TxtCctFrom"), m_picLimits);
    m_txtCctTo = makeBox(QStringLiteral("TxtCctTo"), m_picLimits);
    m_txtDuvFrom = makeBox(QStringLiteral("TxtDuvFrom"), m_picLimits);
    m_txtDuvTo = makeBox(QStringLiteral("TxtDuvTo"), m_picLimits);
    grid->addWidget(m_txtCctFrom, 1, 1);
    grid->addWidget(m_txtCctTo, 1, 2);
    grid->addWidget(m_txtDuvFrom, 2, 1);
    grid->addWidget(m_txtDuvTo, 2, 2);
    QPushButton* ok = makeButton(QStringLiteral("CmdLimitsOK"), QStringLiteral("OK"), m_picLimits);
    QPushButton* cancel =
        makeButton(QStringLiteral("CmdLimitsCancel"), QStringLiteral("Cancel"), m_picLimits);
    grid->addWidget(ok, 3, 1);
    grid->addWidget(cancel, 3, 2);
    connect(ok, &QPushButton::clicked, this, &GraphWindow::addLimits);
    connect(cancel, &QPushButton::clicked, m_picLimits, &QWidget::hide);
    for (QLineEdit* box : {m_txtCctFrom, m_txtCctTo, m_txtDuvFrom, m_txtDuvTo})
        connect(box, &QLineEdit::returnPressed, this, &GraphWindow::addLimits);
    m_picLimits->adjustSize();
    m_picLimits->hide();
}

void GraphWindow::resizeEvent(QResizeEvent* /*event*/)
{
    placePanels();
}

void GraphWindow::placePanels()
{
    // Over the diagram's top right corner, where the loci leave room.
    const QRect canvas = m_canvas->geometry();
    for (QWidget* panel : std::initializer_list<QWidget*>{m_regionPanel, m_picLimits})
        panel->move(std::max(canvas.left(), canvas.right() - panel->width() - 8), canvas.top() + 4);
}

void GraphWindow::open(const RegionRows* plotRows)
{
    if (plotRows != nullptr && m_regionPanel->rows() == RegionRows()) {
        RegionRows taken;
        for (std::size_t r = 0; r < taken.size(); ++r)
            if ((*plotRows)[r].checked)
                taken[r] = (*plotRows)[r];
        m_regionPanel->setRows(taken);
        applyRows();
    }
    const bool first = !m_opened;
    m_opened = true;
    if (first && m_placeNextTo) {
        const QRect main = m_placeNextTo->frameGeometry();
        ui::PlaceRemembered(*this, GraphName, QPoint(main.x() + main.width(), main.y()),
                            *m_placeNextTo);
    }
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // Laid out now: the diagram fills the view it has.
    if (first)
        fit();
}

void GraphWindow::listRegions()
{
    m_comboRegion->clear();
    m_comboRegion->addItem(QStringLiteral("(none)"));
    for (const GraphRegion& region : m_model.regions())
        m_comboRegion->addItem(region.name);
    m_comboRegion->setCurrentIndex(m_model.chosen() + 1);
}

void GraphWindow::chooseRegion(int comboIndex)
{
    m_model.choose(comboIndex - 1);
    fit();
    showTexts();
}

void GraphWindow::applyRows()
{
    m_model.setUserRows(m_regionPanel->rows());
    listRegions();
    m_regionPanel->hide();
    m_canvas->redrawAll();
    showTexts();
}

void GraphWindow::addLimits()
{
    const ui::NamedBoxes boxes = {{{m_txtCctFrom, "CCT From"},
                                   {m_txtCctTo, "CCT To"},
                                   {m_txtDuvFrom, "Duv From"},
                                   {m_txtDuvTo, "Duv To"}}};
    const auto numbers = ui::TypedNumbers(m_dialogs, boxes);
    if (!numbers)
        return;
    const std::array<double, 4> typed = *numbers;
    const auto made = LimitsRow(typed[0], typed[1], typed[2], typed[3]);
    if (const QString* refusal = std::get_if<QString>(&made)) {
        m_dialogs.message(*refusal, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return;
    }
    RegionRows rows = m_regionPanel->rows();
    const std::optional<int> free = FirstFreeRow(rows);
    if (!free) {
        m_dialogs.message(QStringLiteral("All five rows are in use: clear one under "
                                         "\"User Define\" first."),
                          ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    rows[static_cast<std::size_t>(*free)] = std::get<RegionRow>(made);
    m_regionPanel->setRows(rows);
    m_picLimits->hide();
    applyRows();
    const QString name = QStringLiteral("User %1").arg(*free + 1);
    chooseRegion(m_comboRegion->findText(name));
    m_comboRegion->setCurrentIndex(m_model.chosen() + 1);
}

void GraphWindow::setDiagram(Diagram diagram)
{
    m_viewport.setDiagram(diagram);
    fit();
    showTexts();
}

void GraphWindow::fit()
{
    if (const GraphRegion* region = m_model.chosenRegion())
        m_viewport.fit(region->outline);
    else
        m_viewport.fitWhole();
    m_canvas->redrawAll();
}

void GraphWindow::showReading(const GraphReading& reading)
{
    m_model.showReading(reading);
    m_canvas->liveChanged();
    showTexts();
}

void GraphWindow::showNoReading()
{
    if (!m_model.current())
        return;
    m_model.showNoReading();
    m_canvas->liveChanged();
    showTexts();
}

void GraphWindow::showTexts()
{
    const GraphTexts texts =
        TextsFor(m_model, m_viewport.diagram(), QLocale().decimalPoint().at(0));
    const auto set = [](QLabel* label, const QString& text) {
        if (label->text() != text)
            label->setText(text);
    };
    if (m_lblVerdict->text() != texts.verdict) {
        m_lblVerdict->setText(texts.verdict);
        QPalette colours = m_lblVerdict->palette();
        colours.setColor(QPalette::WindowText, texts.verdict == QLatin1String("PASS")
                                                   ? QColor(0, 140, 0)
                                                   : QColor(200, 0, 0));
        m_lblVerdict->setPalette(colours);
    }
    set(m_lblDeltaUV, texts.deltaUv);
    set(m_lblReading, texts.reading);
    set(m_lblInside, texts.inside);
}

} // namespace plot
