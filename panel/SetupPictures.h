#pragma once

#include "panel/Schedules.h"

#include <QGroupBox>
#include <QObject>
#include <functional>
#include <vector>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace panel {

class MainToolbar;

// What the set-up pictures need from the main window.
struct SetupContext
{
    meterlink::SequenceRunner& runner;
    ui::Dialogs& dialogs;
    std::function<bool()> memoryBusy; // the meter records into its memory
};

// `PicReservation` or `PicCycling`: the editable two-digit fields of one schedule, the enable
// option and OK / Exit.
class SchedulePicture : public QGroupBox
{
    Q_OBJECT
public:
    SchedulePicture(ScheduleKind kind, QWidget* parent = nullptr);

    ScheduleKind kind() const { return m_kind; }
    void fill(const ScheduleTexts& texts);
    ScheduleTexts texts() const;
    QComboBox* field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* exitButton() const { return m_exit; }

private:
    ScheduleKind m_kind;
    std::vector<QComboBox*> m_fields;
    QRadioButton* m_enable;
    QRadioButton* m_disable;
    QPushButton* m_ok;
    QPushButton* m_exit;
};

// The meter set-up pictures of the main window: the set-up menu `PicSetup`, the sampling
// interval `PicIntv` and the two schedules. They live in the host's layout, hidden at start.
// The menu also opens the reference picture `PicRef`; "Chroma" brings back the region test
// `PicChroma`.
class SetupPictures : public QObject
{
    Q_OBJECT
public:
    SetupPictures(const SetupContext& context, QWidget* host, QWidget* referenceMenu,
                  QWidget* picChroma);

    // Wires "Setup", "Interval" and "Chroma" and tells the toolbar which picture is the menu.
    void attach(MainToolbar& toolbar);

    QGroupBox* picSetup() const { return m_picSetup; }
    QGroupBox* picIntv() const { return m_picIntv; }
    SchedulePicture* picReservation() const { return m_picReservation; }
    SchedulePicture* picCycling() const { return m_picCycling; }
    // The PC sampling time in seconds (1 to 86400).
    int pcInterval() const { return m_pcInterval; }
    // A PC sampling time kept from an earlier run (1 to 86400 s).
    void setPcInterval(int seconds) { m_pcInterval = seconds; }

    // The OK buttons of `PicSetup`, `PicIntv`, `PicReservation` and `PicCycling`.
    void runSetupChoice();
    void setSamplingTime();
    void writeReservation();
    void writeCycling();

private:
    QGroupBox* buildSetupMenu();
    QGroupBox* buildIntervalPicture();
    SetupChoice selectedChoice() const;
    MeterAccess access() const;

    SetupContext m_context;
    QWidget* m_host;
    QWidget* m_referenceMenu;
    QWidget* m_picChroma;
    QGroupBox* m_picSetup = nullptr;
    QGroupBox* m_picIntv = nullptr;
    SchedulePicture* m_picReservation = nullptr;
    SchedulePicture* m_picCycling = nullptr;
    std::vector<QRadioButton*> m_optSetup;
    QRadioButton* m_optPC = nullptr;
    QRadioButton* m_optMeter = nullptr;
    int m_pcInterval = 1;
    int m_meterInterval = 0; // the meter's sampling time as last read
};

} // namespace panel
