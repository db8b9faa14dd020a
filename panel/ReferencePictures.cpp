#include "panel/ReferencePictures.h"

#include "panel/ReferenceView.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace panel {

namespace {

// Digit boxes stand at fixed places like the meter's digits (twips, shown in pixels).
constexpr int DigitWidth = 600;
constexpr int DigitHeight = 360;
constexpr int MarkerWidth = 240;
// Ev boxes: box 2 moves with the unit (1560 or 1800), the marker stands between two boxes.
constexpr std::array<int, 4> EvLefts{120, 840, 1560, 2520};
// Chromaticity boxes follow a fixed "0." marker.
constexpr std::array<int, 4> ChromaLefts{480, 1200, 1920, 2640};
constexpr int FrameWidth = 3360;

int Px(int twips)
{
    return twips / TwipsPerPixel;
}

// Swallows typed characters, so that the unit is only chosen from the list; the keys that move
// the focus or the choice (Tab, the arrows, Space, Home, End, F4, Escape, Enter) pass.
class DiscardTyping : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace())
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

QComboBox* MakeDigit(QWidget* parent, const QString& name, int left)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setGeometry(Px(left), Px(300), Px(DigitWidth), Px(DigitHeight));
    return box;
}

QLabel* MakeMarker(QWidget* parent, const QString& name, int left)
{
    auto* marker = new QLabel(QStringLiteral("."), parent);
    marker->setObjectName(name);
    marker->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    marker->setGeometry(Px(left), Px(300), Px(MarkerWidth), Px(DigitHeight));
    return marker;
}

// A frame of four digit boxes named boxes(0)..boxes(3) at lefts, with a decimal marker.
QGroupBox* MakeDigitFrame(QWidget* parent, const QString& caption, const char* boxes,
                          const std::array<int, 4>& lefts, const QString& markerName,
                          const QString& markerText, int markerLeft, std::array<QComboBox*, 4>& out,
                          QLabel** marker)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setFixedSize(Px(FrameWidth), Px(780));
    for (std::size_t i = 0; i < 4; ++i)
        out[i] =
            MakeDigit(frame, QStringLiteral("%1(%2)").arg(QLatin1String(boxes)).arg(i), lefts[i]);
    QLabel* m = MakeMarker(frame, markerName, markerLeft);
    m->setText(markerText);
    if (markerText.size() > 1)
        m->resize(Px(360), m->height());
    if (marker != nullptr)
        *marker = m;
    return frame;
}

} // namespace

ReferencePictures::ReferencePictures(QWidget* host, QLayout* layout)
    : QObject(host), m_host(host), m_layout(layout)
{
    buildReferenceMenu();
    buildPicTcp();
    m_picXY =
        makeDigitView("PicXY", "FrmEvxy", "ComboEvxy", "EvxyDecimal(0)", "x", "ComboEvx",
                      "EvxDecimal(0)", "y", "ComboEvy", "EvyDecimal(0)", "CmdXYZOK", "ExitEvXY");
    m_picuv =
        makeDigitView("Picuv", "FrmEvuv", "ComboEvuv", "EvuvDecimal(0)", "u'", "ComboEvu",
                      "EvuDecimal(1)", "v'", "ComboEvv", "EvvDecimal(0)", "SSCommand1", "ExitEvuv");
}

QFrame* ReferencePictures::makePicture(const char* name, const QString& caption)
{
    auto* picture = new QFrame(m_host);
    picture->setObjectName(QLatin1String(name));
    picture->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(picture);
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(caption.toHtmlEscaped()), picture);
    layout->addWidget(title);
    m_layout->addWidget(picture);
    picture->hide();
    return picture;
}

void ReferencePictures::buildReferenceMenu()
{
    m_referenceMenu = makePicture("PicRef", QStringLiteral("REF"));
    auto* layout = static_cast<QVBoxLayout*>(m_referenceMenu->layout());
    m_comboRefLxFc = new QComboBox(m_referenceMenu);
    m_comboRefLxFc->setObjectName(QStringLiteral("ComboRefLxFc"));
    m_comboRefLxFc->installEventFilter(new DiscardTyping(m_comboRefLxFc));
    layout->addWidget(m_comboRefLxFc);
    m_optTcp = new QRadioButton(QStringLiteral("TCP"), m_referenceMenu);
    m_optTcp->setObjectName(QStringLiteral("OptTcp"));
    m_optXY = new QRadioButton(QStringLiteral("Ev, x, y"), m_referenceMenu);
    m_optXY->setObjectName(QStringLiteral("OptXY"));
    m_optuv = new QRadioButton(QStringLiteral("Ev, u', v'"), m_referenceMenu);
    m_optuv->setObjectName(QStringLiteral("Optuv"));
    for (QRadioButton* option : {m_optTcp, m_optXY, m_optuv})
        layout->addWidget(option);
    auto* exitRef = new QPushButton(QStringLiteral("Exit"), m_referenceMenu);
    exitRef->setObjectName(QStringLiteral("ExitRef"));
    layout->addWidget(exitRef);

    // A click acts only when it leaves its option selected.
    connect(m_optTcp, &QRadioButton::clicked, this, [this] {
        if (m_optTcp->isChecked())
            openTemperatureView();
    });
    connect(m_optXY, &QRadioButton::clicked, this, [this] {
        if (m_optXY->isChecked())
            openView(m_picXY);
    });
    connect(m_optuv, &QRadioButton::clicked, this, [this] {
        if (m_optuv->isChecked())
            openView(m_picuv);
    });
    connect(exitRef, &QPushButton::clicked, m_referenceMenu, &QWidget::hide);
}

void ReferencePictures::buildPicTcp()
{
    m_picTcp = makePicture("PicTcp", QStringLiteral("TCP"));
    auto* layout = static_cast<QVBoxLayout*>(m_picTcp->layout());
    auto* frame = new QGroupBox(QStringLiteral("TCP"), m_picTcp);
    frame->setFixedSize(Px(3960), Px(780));
    for (int i = 0; i < 5; ++i)
        MakeDigit(frame, QStringLiteral("DigitTCP(%1)").arg(i), 120 + i * 720);
    MakeMarker(frame, QStringLiteral("XYZDecimal(2)"), 120 + 720 + DigitWidth);
    MakeMarker(frame, QStringLiteral("XYZDecimal(3)"), 120 + 3 * 720 + DigitWidth);
    layout->addWidget(frame);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), m_picTcp);
    ok->setObjectName(QStringLiteral("CmdTcpOK"));
    auto* exit = new QPushButton(QStringLiteral("Exit"), m_picTcp);
    exit->setObjectName(QStringLiteral("ExitTcp"));
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    // No command writes reference values to the meter: OK only closes the view.
    connect(ok, &QPushButton::clicked, m_picTcp, &QWidget::hide);
    connect(exit, &QPushButton::clicked, m_picTcp, &QWidget::hide);
}

ReferencePictures::DigitView
ReferencePictures::makeDigitView(const char* picName, const char* evFrameName, const char* evBoxes,
                                 const char* evMarker, const char* firstCaption,
                                 const char* firstBoxes, const char* firstMarker,
                                 const char* secondCaption, const char* secondBoxes,
                                 const char* secondMarker, const char* okName, const char* exitName)
{
    DigitView view;
    view.picture = makePicture(picName, QStringLiteral("REF"));
    auto* layout = static_cast<QVBoxLayout*>(view.picture->layout());
    view.evFrame =
        MakeDigitFrame(view.picture, QStringLiteral("Ev (lx)"), evBoxes, EvLefts,
                       QLatin1String(evMarker), QStringLiteral("."), 2280, view.ev, &view.evMarker);
    view.evFrame->setObjectName(QLatin1String(evFrameName));
    layout->addWidget(view.evFrame);
    // The chromaticity boxes hold the four digits after "0.".
    layout->addWidget(MakeDigitFrame(view.picture, QLatin1String(firstCaption), firstBoxes,
                                     ChromaLefts, QLatin1String(firstMarker), QStringLiteral("0."),
                                     120, view.first, nullptr));
    layout->addWidget(MakeDigitFrame(view.picture, QLatin1String(secondCaption), secondBoxes,
                                     ChromaLefts, QLatin1String(secondMarker), QStringLiteral("0."),
                                     120, view.second, nullptr));
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), view.picture);
    ok->setObjectName(QLatin1String(okName));
    auto* exit = new QPushButton(QStringLiteral("Exit"), view.picture);
    exit->setObjectName(QLatin1String(exitName));
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    QFrame* picture = view.picture;
    connect(ok, &QPushButton::clicked, picture, &QWidget::hide);
    connect(exit, &QPushButton::clicked, picture, &QWidget::hide);
    return view;
}

void ReferencePictures::addUnits()
{
    m_comboRefLxFc->addItem(QStringLiteral("lx"));
    m_comboRefLxFc->addItem(QStringLiteral("fc"));
}

void ReferencePictures::toggleReferenceMenu()
{
    m_referenceMenu->setVisible(m_referenceMenu->isHidden());
}

void ReferencePictures::openTemperatureView()
{
    m_referenceMenu->hide();
    m_picTcp->show();
}

void ReferencePictures::openView(DigitView& view)
{
    m_referenceMenu->hide();
    view.picture->show();
    const bool xy = &view == &m_picXY;
    const ReferenceViewFill fill =
        FillReferenceView(m_comboRefLxFc->currentText(), m_texts.illuminance,
                          xy ? m_texts.x : m_texts.u, xy ? m_texts.y : m_texts.v);
    view.evFrame->setTitle(fill.caption);
    view.ev[2]->move(Px(fill.digit2Left), view.ev[2]->y());
    view.evMarker->move(Px(fill.markerLeft), view.evMarker->y());
    for (std::size_t i = 0; i < 4; ++i) {
        view.ev[i]->setEditText(fill.ev[i]);
        view.first[i]->setEditText(fill.first[i]);
        view.second[i]->setEditText(fill.second[i]);
    }
}

} // namespace panel
