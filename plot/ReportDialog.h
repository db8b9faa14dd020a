#pragma once

#include "plot/GraphModel.h"
#include "ui/Dialogs.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace plot {

// What the report dialog asks before the file dialog: title, the regions to judge, the share
// a region must hold, the notes and the diagram.
struct ReportChoice
{
    QString title;
    std::vector<GraphRegion> regions;
    double requiredPercent = 100;
    QString notes;
    bool uv = false;
};

// The modal "Report" dialog. The notes start as those kept with the settings and are kept
// again on OK.
class ReportDialog : public QDialog, public ui::ModalWindow
{
    Q_OBJECT
public:
    // `offered` in list order; `checked` the names ticked at first.
    ReportDialog(ui::Dialogs& dialogs, const QString& title,
                 const std::vector<GraphRegion>& offered, const QStringList& checked,
                 QWidget* parent);

    int runModal() override { return exec(); }
    // Once accepted.
    const ReportChoice& choice() const { return m_choice; }

private:
    void takeChoice();

    ui::Dialogs& m_dialogs;
    std::vector<GraphRegion> m_offered;
    QLineEdit* m_title;
    QListWidget* m_regions;
    QLineEdit* m_share;
    QPlainTextEdit* m_notes;
    QCheckBox* m_uv;
    ReportChoice m_choice;
};

// The notes kept with the settings.
QString KeptReportNotes();
void KeepReportNotes(const QString& notes);

} // namespace plot
