#include "plot/ReportDialog.h"

#include "plot/Report.h"
#include "ui/Settings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace plot {

QString KeptReportNotes()
{
    return ui::Settings().reportNotes();
}

void KeepReportNotes(const QString& notes)
{
    ui::Settings().setReportNotes(notes);
}

ReportDialog::ReportDialog(ui::Dialogs& dialogs, const QString& title,
                           const std::vector<GraphRegion>& offered, const QStringList& checked,
                           QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_offered(offered), m_title(new QLineEdit(title, this)),
      m_regions(new QListWidget(this)), m_share(new QLineEdit(QStringLiteral("100"), this)),
      m_notes(new QPlainTextEdit(KeptReportNotes(), this)),
      m_uv(new QCheckBox(QStringLiteral("CIE 1976 u', v' diagram"), this))
{
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(QStringLiteral("Report"));
    m_title->setObjectName(QStringLiteral("TxtReportTitle"));
    m_regions->setObjectName(QStringLiteral("LstReportRegions"));
    m_share->setObjectName(QStringLiteral("TxtReportShare"));
    m_notes->setObjectName(QStringLiteral("TxtReportNotes"));
    m_notes->setTabChangesFocus(true);
    m_notes->setPlaceholderText(QStringLiteral("Operator, luminaire, conditions"));
    m_uv->setObjectName(QStringLiteral("ChkReportUv"));
    for (const GraphRegion& region : m_offered) {
        auto* item = new QListWidgetItem(region.name, m_regions);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(region.name) ? Qt::Checked : Qt::Unchecked);
    }

    auto* ok = new QPushButton(QStringLiteral("Save\u2026"), this);
    ok->setObjectName(QStringLiteral("CmdReportOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdReportCancel"));
    connect(ok, &QPushButton::clicked, this, &ReportDialog::takeChoice);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Title"), m_title);
    form->addRow(QStringLiteral("Regions to judge"), m_regions);
    form->addRow(QStringLiteral("Share required (%)"), m_share);
    form->addRow(QStringLiteral("Notes"), m_notes);
    form->addRow(QString(), m_uv);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void ReportDialog::takeChoice()
{
    const std::optional<double> share = ParseRequiredPercent(m_share->text());
    if (!share) {
        m_dialogs.message(QStringLiteral("The share required is a percentage from 0 to 100, "
                                         "try again!"),
                          ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        m_share->setFocus();
        return;
    }
    m_choice = {m_title->text(), {}, *share, m_notes->toPlainText(), m_uv->isChecked()};
    for (int i = 0; i < m_regions->count(); ++i)
        if (m_regions->item(i)->checkState() == Qt::Checked)
            m_choice.regions.push_back(m_offered[static_cast<std::size_t>(i)]);
    KeepReportNotes(m_choice.notes);
    accept();
}

} // namespace plot
