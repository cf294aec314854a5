#include "window/check_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Lift::Window {

namespace {

QIcon severityIcon(const QStyle* style, Commissioning::Severity severity) {
    switch (severity) {
    case Commissioning::Severity::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case Commissioning::Severity::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case Commissioning::Severity::Note:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

} // namespace

CheckDialog::CheckDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Check"));
    setModal(false);
    m_summary = new QLabel(this);
    m_list = new QTreeWidget(this);
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        {QStringLiteral("Severity"), QStringLiteral("Place"), QStringLiteral("Message")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setWordWrap(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setToolTip(QStringLiteral("Choose a finding to show its place"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* again =
        buttons->addButton(QStringLiteral("Check again"), QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(760, 360);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(again, &QPushButton::clicked, this, &CheckDialog::checkAgain);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &CheckDialog::chosen);
    connect(m_list, &QTreeWidget::itemActivated, this, &CheckDialog::chosen);
}

void CheckDialog::showFindings(const std::vector<Commissioning::Finding>& findings) {
    m_findings = findings;
    {
        const QSignalBlocker block(m_list);
        m_list->clear();
        for (const Commissioning::Finding& f : m_findings) {
            auto* item =
                new QTreeWidgetItem({QString::fromLatin1(Commissioning::SeverityText(f.severity)),
                                     QString::fromLatin1(Commissioning::PlaceText(f.place)),
                                     QString::fromLatin1(f.message)});
            item->setIcon(0, severityIcon(style(), f.severity));
            item->setToolTip(2, item->text(2));
            m_list->addTopLevelItem(item);
        }
    }
    m_summary->setText(
        m_findings.empty()
            ? QStringLiteral("No findings: MAKE ROM will build what the project says.")
            : QString::fromLatin1(Commissioning::FindingSummary(m_findings)));
    show();
    raise();
}

void CheckDialog::chosen() {
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row >= 0 && static_cast<std::size_t>(row) < m_findings.size())
        Q_EMIT placeChosen(m_findings[static_cast<std::size_t>(row)].place);
}

} // namespace Lift::Window
