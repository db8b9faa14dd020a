#include "panel/ChromaPicture.h"

#include "colorimetry/InsideQuadrilateral.h"
#include "ui/KeyFilter.h"
#include "ui/TextValue.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace panel {

namespace {

// What the X boxes take, as the meter's software always took it: digits, "-" and ".".
bool xBoxTakes(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
           c == QLatin1Char('.');
}

} // namespace

ChromaPicture::ChromaPicture(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PicChroma"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("<b>Chromaticity</b>"), this));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("X"), this), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Y"), this), 0, 2, Qt::AlignHCenter);
    auto* filter = new ui::CharacterFilter(xBoxTakes, this);
    for (int i = 0; i < 5; ++i) {
        const auto at = static_cast<std::size_t>(i);
        m_txtNoX[at] = new QLineEdit(QStringLiteral("1234.5678"), this);
        m_txtNoX[at]->setObjectName(QStringLiteral("TxtNoX(%1)").arg(i));
        m_txtNoX[at]->installEventFilter(filter);
        m_txtNoY[at] = new QLineEdit(QStringLiteral("1234.5678"), this);
        m_txtNoY[at]->setObjectName(QStringLiteral("TxtNoY(%1)").arg(i));
        for (QLineEdit* box : {m_txtNoX[at], m_txtNoY[at]})
            box->setMaximumWidth(90);
    }
    for (int i = 1; i <= 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        grid->addWidget(new QLabel(QStringLiteral("P%1").arg(i), this), i, 0);
        grid->addWidget(m_txtNoX[at], i, 1);
        grid->addWidget(m_txtNoY[at], i, 2);
    }
    // The point to test sits below a separator line, without a row label.
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    grid->addWidget(line, 5, 0, 1, 3);
    grid->addWidget(m_txtNoX[0], 6, 1);
    grid->addWidget(m_txtNoY[0], 6, 2);
    layout->addLayout(grid);

    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("LblChromaResult"));
    layout->addWidget(m_result);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("CmdChromaOK"));
    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("CmdExitChroma"));
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &ChromaPicture::testPoint);
    connect(exit, &QPushButton::clicked, this, &QWidget::hide);
}

void ChromaPicture::testPoint()
{
    std::array<double, 10> v{};
    std::size_t n = 0;
    for (std::size_t i : {1u, 2u, 3u, 4u, 0u}) {
        for (const bool isX : {true, false}) {
            const std::optional<double> value =
                ui::TypedNumber((isX ? m_txtNoX[i] : m_txtNoY[i])->text());
            if (!value) {
                // No answer from a box that holds no number: it is not 0.
                m_result->setText(
                    QStringLiteral("%1 of %2 is not a number")
                        .arg(isX ? QStringLiteral("X") : QStringLiteral("Y"),
                             i == 0 ? QStringLiteral("the point") : QStringLiteral("P%1").arg(i)));
                return;
            }
            v[n++] = *value;
        }
    }
    const bool inside = colorimetry::InsideQuadrilateral(v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                                                         v[7], v[8], v[9]);
    m_result->setText(inside ? QStringLiteral("Inside") : QStringLiteral("Outside"));
}

} // namespace panel
