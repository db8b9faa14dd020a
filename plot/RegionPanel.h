#pragma once

#include "plot/RegionFile.h"
#include "ui/Dialogs.h"

#include <QFrame>
#include <array>

class QCheckBox;
class QLineEdit;

namespace plot {

// The regions panel `PicUser`: five rows of a check box `CkUser`(r) and eight corner boxes
// `TxtUser`(8r) .. `TxtUser`(8r + 7), x1..x4 over y1..y4, with the buttons that load and save a
// region file (`CmdOpen`, `CmdSave`), draw the regions (`CmdUserOK`) and close it
// (`CmdUserExit`). The window that holds it decides what OK and Exit do; OK is refused with a
// message while a checked row has a box without a number.
class RegionPanel : public QFrame
{
    Q_OBJECT
public:
    RegionPanel(ui::Dialogs& dialogs, QWidget* parent);

    RegionRows rows() const;
    void setRows(const RegionRows& rows);

    // The checked rows into a region file chosen with the panel's dialog `CmdUser`. The plot
    // keeps its caption: a region file is not the data shown.
    void save();
    // A region file chosen with the same dialog into the rows.
    void load();

    // The rows kept for the window `owner` ("Plot", "Graph") when it was last closed; rows
    // that were never kept stay empty.
    void restoreRows(const QString& owner);
    void rememberRows(const QString& owner) const;

Q_SIGNALS:
    void okClicked();
    void exitClicked();

private:
    void confirm();

    ui::Dialogs& m_dialogs;
    std::array<QCheckBox*, RegionRowCount> m_ckUser{};
    std::array<QLineEdit*, RegionRowCount * 8> m_txtUser{};
    ui::FileDialogState m_regionFileDialog; // `CmdUser`, shared by open and save
};

} // namespace plot
