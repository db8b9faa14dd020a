#pragma once

#include "files/PlotDocument.h"
#include "ui/Dialogs.h"

#include <QFrame>

class QLineEdit;

namespace plot {

// The range dialog `PictureRange`: the axis range (`TxtTMin`, `TxtTMax`) and the record range
// (`TxtFrom`, `TxtTo`) of the plot, applied with `CmdRangeOK` (or Enter in a box) and closed
// with `CmdRangeCancel`. OK refuses, with a message and nothing changed, a box without a number
// and a range outside 1 <= From < To <= the document's record count or with Max not above Min.
class RangePanel : public QFrame
{
    Q_OBJECT
public:
    RangePanel(ui::Dialogs& dialogs, const files::PlotDocument& document, QWidget* parent);

    // The boxes show the axis range given and the document's record range.
    void fill(double axisMin, double axisMax);

Q_SIGNALS:
    // OK with a range it accepts; the panel is hidden already.
    void rangeChosen(files::RecordRange range, double axisMin, double axisMax);

private:
    void apply();

    ui::Dialogs& m_dialogs;
    const files::PlotDocument& m_document;
    QLineEdit* m_txtTMin;
    QLineEdit* m_txtTMax;
    QLineEdit* m_txtFrom;
    QLineEdit* m_txtTo;
};

} // namespace plot
