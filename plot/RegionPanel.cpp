#include "plot/RegionPanel.h"

#include "files/DataFileReader.h"
#include "files/SaveDialog.h"
#include "ui/SavePath.h"
#include "ui/Settings.h"
#include "ui/TextValue.h"
#include "ui/WorkingFiles.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace plot {

namespace {

QToolButton* makeIconButton(const QString& name, const QString& tip, QStyle::StandardPixmap icon,
                            QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(false);
    return button;
}

} // namespace

RegionPanel::RegionPanel(ui::Dialogs& dialogs, QWidget* parent) : QFrame(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("PicUser"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    for (int c = 0; c < 4; ++c) {
        auto* head = new QLabel(QString::number(c + 1));
        head->setAlignment(Qt::AlignCenter);
        grid->addWidget(head, 0, c + 2);
    }
    for (int r = 0; r < RegionRowCount; ++r) {
        const int line = 1 + 2 * r;
        auto* check = new QCheckBox(this);
        check->setObjectName(QStringLiteral("CkUser%1").arg(r));
        check->setAccessibleName(QStringLiteral("Region %1").arg(r + 1));
        m_ckUser[static_cast<std::size_t>(r)] = check;
        grid->addWidget(check, line, 0, 2, 1);
        grid->addWidget(new QLabel(QStringLiteral("X")), line, 1);
        grid->addWidget(new QLabel(QStringLiteral("Y")), line + 1, 1);
        for (int column = 0; column < 8; ++column) {
            const int index = 8 * r + column;
            auto* box = new QLineEdit(this);
            box->setObjectName(QStringLiteral("TxtUser%1").arg(index));
            box->setAccessibleName(box->objectName());
            box->setFixedWidth(56);
            m_txtUser[static_cast<std::size_t>(index)] = box;
            grid->addWidget(box, line + column / 4, 2 + column % 4);
        }
    }

    QToolButton* open = makeIconButton(QStringLiteral("CmdOpen"), QStringLiteral("Open"),
                                       QStyle::SP_DialogOpenButton, this);
    QToolButton* save = makeIconButton(QStringLiteral("CmdSave"), QStringLiteral("Save"),
                                       QStyle::SP_DialogSaveButton, this);
    QToolButton* ok = makeIconButton(QStringLiteral("CmdUserOK"), QStringLiteral("OK"),
                                     QStyle::SP_DialogApplyButton, this);
    QToolButton* exit = makeIconButton(QStringLiteral("CmdUserExit"), QStringLiteral("Exit"),
                                       QStyle::SP_DialogCloseButton, this);
    connect(open, &QToolButton::clicked, this, &RegionPanel::load);
    connect(save, &QToolButton::clicked, this, &RegionPanel::save);
    connect(ok, &QToolButton::clicked, this, &RegionPanel::confirm);
    connect(exit, &QToolButton::clicked, this, &RegionPanel::exitClicked);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    adjustSize();
}

RegionRows RegionPanel::rows() const
{
    RegionRows rows;
    for (int r = 0; r < RegionRowCount; ++r) {
        RegionRow& row = rows[static_cast<std::size_t>(r)];
        row.checked = m_ckUser[static_cast<std::size_t>(r)]->isChecked();
        for (std::size_t column = 0; column < 8; ++column)
            row.texts[column] = m_txtUser[static_cast<std::size_t>(r) * 8 + column]->text();
    }
    return rows;
}

void RegionPanel::setRows(const RegionRows& rows)
{
    for (int r = 0; r < RegionRowCount; ++r) {
        const RegionRow& row = rows[static_cast<std::size_t>(r)];
        m_ckUser[static_cast<std::size_t>(r)]->setChecked(row.checked);
        for (std::size_t column = 0; column < 8; ++column)
            m_txtUser[static_cast<std::size_t>(r) * 8 + column]->setText(row.texts[column]);
    }
}

void RegionPanel::confirm()
{
    if (const auto refusal = RegionRowsRefusal(rows())) {
        m_dialogs.message(*refusal, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return;
    }
    Q_EMIT okClicked();
}

void RegionPanel::save()
{
    // The file keeps "." as decimal point, whatever was typed.
    RegionRows regions = rows();
    for (RegionRow& row : regions)
        for (QString& text : row.texts)
            text = ui::WithDecimalPoint(text);
    if (const auto row = UnsafeRegionRow(regions)) {
        m_dialogs.message(QStringLiteral("Region %1 holds a comma, a quote or a TAB, which the "
                                         "region file cannot keep. Use \".\" as decimal point.")
                              .arg(*row + 1),
                          ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    ui::StartInFolder(m_regionFileDialog, ui::FileKind::RegionFile);
    const std::optional<QString> path = files::ShowSaveDialog(m_dialogs, m_regionFileDialog);
    if (!path)
        return;
    ui::Settings().rememberFolder(ui::FileKind::RegionFile, *path);
    // Written aside and renamed, so a failed write leaves any earlier file whole.
    QString reason;
    if (ui::SaveWhole(*path, RegionFileText(regions), std::nullopt, reason) !=
        ui::SaveOutcome::Saved)
        ui::ShowNotWritten(m_dialogs, QStringLiteral("The region file"), *path, reason);
}

void RegionPanel::load()
{
    ui::StartInFolder(m_regionFileDialog, ui::FileKind::RegionFile);
    if (!m_dialogs.showOpen(m_regionFileDialog) || m_regionFileDialog.fileTitle.isEmpty())
        return;
    ui::Settings().rememberFolder(ui::FileKind::RegionFile, m_regionFileDialog.fileName);
    // Opened before the rows are cleared, so a file that cannot be read costs nothing typed.
    QFile file;
    if (files::OpenRegularFile(m_regionFileDialog.fileName, file).outcome !=
        files::ReadOutcome::Ok) {
        m_dialogs.message(QStringLiteral("The region file could not be opened: ") +
                              m_regionFileDialog.fileName,
                          ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    setRows(ReadRegionFile(file));
}

void RegionPanel::restoreRows(const QString& owner)
{
    // A row is its check mark ("1") and its eight texts; anything else kept there is ignored.
    const QVariantList kept = ui::Settings().value(owner + QStringLiteral("/regions")).toList();
    RegionRows restored;
    for (int r = 0; r < RegionRowCount && r < kept.size(); ++r) {
        const QStringList fields = kept[r].toStringList();
        if (fields.size() != 9)
            continue;
        RegionRow& row = restored[static_cast<std::size_t>(r)];
        row.checked = fields[0] == QLatin1String("1");
        for (std::size_t column = 0; column < 8; ++column)
            row.texts[column] = fields[static_cast<int>(column) + 1];
    }
    setRows(restored);
}

void RegionPanel::rememberRows(const QString& owner) const
{
    QVariantList kept;
    for (const RegionRow& row : rows()) {
        QStringList fields{row.checked ? QStringLiteral("1") : QStringLiteral("0")};
        for (const QString& text : row.texts)
            fields << text;
        kept << fields;
    }
    ui::Settings().setValue(owner + QStringLiteral("/regions"), kept);
}

} // namespace plot
