#include "plot/RangePanel.h"

#include "plot/PlotGeometry.h"
#include "ui/KeyFilter.h"
#include "ui/TextValue.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace plot {

namespace {

QLineEdit* makeBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(name);
    box->setFixedWidth(80);
    return box;
}

// A box with its label in the next row of `grid`.
void addLabelled(const QString& name, const QString& caption, QLineEdit* box, QGridLayout* grid)
{
    auto* label = new QLabel(caption);
    label->setObjectName(name);
    label->setBuddy(box);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
}

} // namespace

RangePanel::RangePanel(ui::Dialogs& dialogs, const files::PlotDocument& document, QWidget* parent)
    : QFrame(parent), m_dialogs(dialogs), m_document(document)
{
    setObjectName(QStringLiteral("PictureRange"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    auto* range = new QGroupBox(QStringLiteral("Range"), this);
    range->setObjectName(QStringLiteral("SSFrame1"));
    auto* rangeGrid = new QGridLayout(range);
    m_txtTMin = makeBox(QStringLiteral("TxtTMin"), range);
    m_txtTMax = makeBox(QStringLiteral("TxtTMax"), range);
    addLabelled(QStringLiteral("SSPanel5"), QStringLiteral("Min"), m_txtTMin, rangeGrid);
    addLabelled(QStringLiteral("SSPanel4"), QStringLiteral("Max"), m_txtTMax, rangeGrid);

    auto* records = new QGroupBox(QStringLiteral("Records"), this);
    records->setObjectName(QStringLiteral("SSFrame4"));
    auto* recordGrid = new QGridLayout(records);
    m_txtFrom = makeBox(QStringLiteral("TxtFrom"), records);
    m_txtTo = makeBox(QStringLiteral("TxtTo"), records);
    addLabelled(QStringLiteral("SSPanel9"), QStringLiteral("From"), m_txtFrom, recordGrid);
    addLabelled(QStringLiteral("SSPanel8"), QStringLiteral("To"), m_txtTo, recordGrid);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("CmdRangeOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdRangeCancel"));
    connect(ok, &QPushButton::clicked, this, &RangePanel::apply);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    for (QLineEdit* box : {m_txtTMin, m_txtTMax, m_txtFrom, m_txtTo})
        connect(box, &QLineEdit::returnPressed, this, &RangePanel::apply);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(range);
    layout->addWidget(records);
    layout->addLayout(buttons);
    adjustSize();
}

void RangePanel::fill(double axisMin, double axisMax)
{
    const files::RecordRange range = m_document.range();
    m_txtTMax->setText(ui::NumberText(axisMax));
    m_txtTMin->setText(ui::NumberText(axisMin));
    m_txtFrom->setText(ui::NumberText(range.from));
    m_txtTo->setText(ui::NumberText(range.to));
}

void RangePanel::apply()
{
    const ui::NamedBoxes boxes = {
        {{m_txtFrom, "From"}, {m_txtTo, "To"}, {m_txtTMin, "Min"}, {m_txtTMax, "Max"}}};
    const auto numbers = ui::TypedNumbers(m_dialogs, boxes);
    if (!numbers)
        return;
    const std::array<double, 4> typed = *numbers;
    const auto [from, to, axisMin, axisMax] = typed;
    const auto records = static_cast<int>(m_document.recordCount());
    if (const auto refusal = RangeRefusal(from, to, records, axisMin, axisMax)) {
        m_dialogs.message(*refusal, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return;
    }
    hide();
    Q_EMIT rangeChosen({from, to}, axisMin, axisMax);
}

} // namespace plot
