#include "panel/SetupPictures.h"

#include "panel/Toolbar.h"
#include "ui/KeyFilter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace panel {

namespace {

QPushButton* AddButton(QLayout* layout, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    layout->addWidget(button);
    return button;
}

QRadioButton* AddOption(QLayout* layout, const QString& name, const QString& caption)
{
    auto* option = new QRadioButton(caption);
    option->setObjectName(name);
    layout->addWidget(option);
    return option;
}

QHBoxLayout* OkExitRow(QBoxLayout* parent)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    parent->addLayout(row);
    return row;
}

} // namespace

SchedulePicture::SchedulePicture(ScheduleKind kind, QWidget* parent)
    : QGroupBox(parent), m_kind(kind), m_enable(nullptr), m_disable(nullptr), m_ok(nullptr),
      m_exit(nullptr)
{
    const bool reservation = kind == ScheduleKind::Reservation;
    const QString prefix = reservation ? QStringLiteral("Res") : QStringLiteral("Cyc");
    setObjectName(reservation ? QStringLiteral("PicReservation") : QStringLiteral("PicCycling"));
    setTitle(reservation ? QStringLiteral("Reservation") : QStringLiteral("Cycling"));

    const QStringList labels = reservation
                                   ? QStringList{QStringLiteral("Year"),   QStringLiteral("Month"),
                                                 QStringLiteral("Date"),   QStringLiteral("Hour"),
                                                 QStringLiteral("Minute"), QStringLiteral("Second")}
                                   : QStringList{QStringLiteral("Hour"), QStringLiteral("Minute"),
                                                 QStringLiteral("Second")};
    const auto items = ScheduleItems(kind);
    const int perHalf = ScheduleByteFields(kind) / 2;
    // The reservation's fields type digits only.
    auto* digitsOnly = new ui::CharacterFilter(
        [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }, this);

    auto* layout = new QVBoxLayout(this);
    auto addFrame = [&](const QString& caption, const QStringList& captions) {
        auto* frame = new QGroupBox(caption);
        auto* grid = new QGridLayout(frame);
        for (int column = 0; column < captions.size(); ++column) {
            const int index = static_cast<int>(m_fields.size());
            auto* combo = new QComboBox;
            combo->setObjectName(QStringLiteral("Combo%1%2").arg(prefix).arg(index));
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            // A box holds what was typed: completing "1" to "10" would send 10 to the meter.
            combo->setCompleter(nullptr);
            // The lists are filled once; the first item is the text a fresh picture shows.
            combo->addItems(items[static_cast<std::size_t>(index)]);
            if (reservation) {
                combo->installEventFilter(digitsOnly);
                combo->lineEdit()->installEventFilter(digitsOnly);
            }
            grid->addWidget(new QLabel(captions[column]), 0, column);
            grid->addWidget(combo, 1, column);
            m_fields.push_back(combo);
        }
        layout->addWidget(frame);
    };
    addFrame(QStringLiteral("Start"), labels.mid(0, perHalf));
    addFrame(QStringLiteral("Stop"), labels.mid(0, perHalf));
    addFrame(QStringLiteral("Interval"), {QStringLiteral("Minute"), QStringLiteral("Second")});

    auto* options = new QHBoxLayout;
    m_enable = AddOption(options, QStringLiteral("Opt") + prefix + QLatin1Char('0'),
                         QStringLiteral("Enable"));
    m_disable = AddOption(options, QStringLiteral("Opt") + prefix + QLatin1Char('1'),
                          QStringLiteral("Disable"));
    m_disable->setChecked(true);
    layout->addLayout(options);

    auto* row = OkExitRow(layout);
    m_ok = AddButton(row, QStringLiteral("Cmd%1OK").arg(prefix), QStringLiteral("OK"));
    m_exit = AddButton(
        row, reservation ? QStringLiteral("CmdExitRes") : QStringLiteral("CmdExitCycling"),
        QStringLiteral("Exit"));
    connect(m_exit, &QPushButton::clicked, this, &QWidget::hide);
}

void SchedulePicture::fill(const ScheduleTexts& texts)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setEditText(static_cast<qsizetype>(i) < texts.fields.size()
                                     ? texts.fields[static_cast<qsizetype>(i)]
                                     : QString());
    (texts.enabled ? m_enable : m_disable)->setChecked(true);
}

ScheduleTexts SchedulePicture::texts() const
{
    ScheduleTexts texts;
    for (const auto* combo : m_fields)
        texts.fields << combo->currentText();
    texts.enabled = m_enable->isChecked();
    return texts;
}

SetupPictures::SetupPictures(const SetupContext& context, QWidget* host, QWidget* referenceMenu,
                             QWidget* picChroma)
    : QObject(host), m_context(context), m_host(host), m_referenceMenu(referenceMenu),
      m_picChroma(picChroma)
{
    setObjectName(QStringLiteral("SetupPictures"));
    auto* layout = qobject_cast<QBoxLayout*>(host->layout());
    if (!layout)
        layout = new QVBoxLayout(host);

    m_picSetup = buildSetupMenu();
    m_picIntv = buildIntervalPicture();
    m_picReservation = new SchedulePicture(ScheduleKind::Reservation, host);
    m_picCycling = new SchedulePicture(ScheduleKind::Cycling, host);
    for (QWidget* picture :
         std::initializer_list<QWidget*>{m_picSetup, m_picIntv, m_picReservation, m_picCycling}) {
        layout->addWidget(picture);
        picture->hide();
    }
    connect(m_picReservation->okButton(), &QPushButton::clicked, this,
            &SetupPictures::writeReservation);
    connect(m_picCycling->okButton(), &QPushButton::clicked, this, &SetupPictures::writeCycling);
}

QGroupBox* SetupPictures::buildSetupMenu()
{
    auto* box = new QGroupBox(QStringLiteral("Set up"), m_host);
    box->setObjectName(QStringLiteral("PicSetup"));
    auto* layout = new QVBoxLayout(box);
    const QStringList captions{QStringLiteral("Reservation"), QStringLiteral("Cycling"),
                               QStringLiteral("Reference")};
    for (int i = 0; i < captions.size(); ++i)
        m_optSetup.push_back(AddOption(layout, QStringLiteral("OptSetup%1").arg(i), captions[i]));
    m_optSetup.front()->setChecked(true);
    auto* row = OkExitRow(layout);
    auto* ok = AddButton(row, QStringLiteral("CmdSetUpOK"), QStringLiteral("OK"));
    auto* exit = AddButton(row, QStringLiteral("CmdExitSetup"), QStringLiteral("Exit"));
    connect(ok, &QPushButton::clicked, this, &SetupPictures::runSetupChoice);
    connect(exit, &QPushButton::clicked, box, &QWidget::hide);
    return box;
}

QGroupBox* SetupPictures::buildIntervalPicture()
{
    auto* box = new QGroupBox(QStringLiteral("Sampling Rate"), m_host);
    box->setObjectName(QStringLiteral("PicIntv"));
    auto* layout = new QVBoxLayout(box);
    m_optPC = AddOption(layout, QStringLiteral("OptPC"), QStringLiteral("PC Sampling Rate"));
    m_optMeter =
        AddOption(layout, QStringLiteral("OptMeter"), QStringLiteral("Meter Sampling Rate"));
    m_optPC->setChecked(true);
    auto* row = OkExitRow(layout);
    auto* ok = AddButton(row, QStringLiteral("CmdIntvOK"), QStringLiteral("OK"));
    auto* exit = AddButton(row, QStringLiteral("CmdExitIntv"), QStringLiteral("Exit"));
    connect(ok, &QPushButton::clicked, this, &SetupPictures::setSamplingTime);
    connect(exit, &QPushButton::clicked, box, &QWidget::hide);
    return box;
}

void SetupPictures::attach(MainToolbar& toolbar)
{
    toolbar.setSetupMenu(m_picSetup);
    toolbar.setCommand(ToolbarKey::Setup,
                       [this] { m_picSetup->setHidden(!m_picSetup->isHidden()); });
    toolbar.setCommand(ToolbarKey::Interval, [this] { m_picIntv->show(); });
    // The region test can be brought back after its Exit.
    toolbar.setCommand(ToolbarKey::Chroma, [this] { m_picChroma->show(); });
}

SetupChoice SetupPictures::selectedChoice() const
{
    if (m_optSetup[0]->isChecked())
        return SetupChoice::Reservation;
    if (m_optSetup[1]->isChecked())
        return SetupChoice::Cycling;
    return SetupChoice::Reference;
}

MeterAccess SetupPictures::access() const
{
    return MeterAccess{m_context.runner, m_context.dialogs};
}

void SetupPictures::runSetupChoice()
{
    m_picReservation->hide();
    m_picCycling->hide();
    m_referenceMenu->hide();

    const SetupChoice choice = selectedChoice();
    const bool busy = m_context.memoryBusy && m_context.memoryBusy();
    const SetupResult result = RunSetupChoice(access(), choice, busy);
    if (result.cancelled)
        return; // the menu stays open
    if (choice != SetupChoice::Reference) {
        SchedulePicture* target =
            choice == SetupChoice::Reservation ? m_picReservation : m_picCycling;
        // Without an answer the picture keeps the schedule it showed last.
        if (result.schedule)
            target->fill(*result.schedule);
        target->show();
    } else {
        m_referenceMenu->show();
    }
    m_picSetup->hide();
}

void SetupPictures::setSamplingTime()
{
    m_picIntv->hide();
    if (m_optPC->isChecked()) {
        if (const auto t = AskPcInterval(m_context.dialogs, m_pcInterval))
            m_pcInterval = *t;
        return;
    }
    SetMeterInterval(access(), m_meterInterval);
}

void SetupPictures::writeReservation()
{
    if (WriteSchedule(access(), ScheduleKind::Reservation, m_picReservation->texts()))
        m_picReservation->hide();
}

void SetupPictures::writeCycling()
{
    if (WriteSchedule(access(), ScheduleKind::Cycling, m_picCycling->texts()))
        m_picCycling->hide();
}

} // namespace panel
