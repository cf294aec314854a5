#include "window/display_preview_box.h"

#include "editor/code_table_labels.h"
#include "preview/screen_layout.h"
#include "window/picture_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace Lift::Window {

DisplayPreviewBox::DisplayPreviewBox(const Editor::EditorSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Display preview"), parent), m_pieces(session),
      m_session(session) {
    auto* layout = new QVBoxLayout(this);
    m_caption = new QLabel(this);
    layout->addWidget(m_caption);
    // A one-pixel frame marks the screen's edge against the white of the pictures.
    m_screen = new PictureLabel(
        QSize(Preview::kScreenWidth * kScale + 2, Preview::kScreenHeight * kScale + 2), this);
    m_screen->setLineWidth(1);
    m_screen->setToolTip(QStringLiteral("Click a code in the table"));
    layout->addWidget(m_screen, 0, Qt::AlignHCenter);

    auto* form = new QFormLayout;
    m_direction = new QComboBox(this);
    m_direction->addItems({QStringLiteral("None"), QStringLiteral("Travelling")});
    form->addRow(QStringLiteral("Direction:"), m_direction);
    m_liftState = new QComboBox(this);
    m_liftState->addItem(QStringLiteral("None"));
    for (int row = 0; row < Editor::kSlotRows; ++row)
        m_liftState->addItem(
            QStringLiteral("%1 %2").arg(row).arg(
                QString::fromLatin1(Editor::LiftStateStem(row, 0)).replace(u'_', u' ')));
    form->addRow(QStringLiteral("Lift state:"), m_liftState);
    layout->addLayout(form);
    m_logo = new QCheckBox(QStringLiteral("Customer logo"), this);
    layout->addWidget(m_logo);

    auto* note = new QLabel(QStringLiteral("A preview of the pictures, not of the "
                                           "controller's timing."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    m_problems = new QLabel(this);
    m_problems->setWordWrap(true);
    m_problems->setStyleSheet(QStringLiteral("color: #b00000;"));
    layout->addWidget(m_problems);
    layout->addStretch(1);
    setFixedWidth(Preview::kScreenWidth * kScale + 60);

    for (QComboBox* combo : {m_direction, m_liftState})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] {
            m_step = 0;
            refresh();
        });
    connect(m_logo, &QCheckBox::toggled, this, &DisplayPreviewBox::refresh);
    connect(&m_timer, &QTimer::timeout, this, &DisplayPreviewBox::advance);
    m_timer.start(kStepMilliseconds);
    refresh();
}

void DisplayPreviewBox::showCode(std::optional<int> table, int code) {
    m_table = table;
    m_code = code;
    m_typed.reset();
    refresh();
}

void DisplayPreviewBox::showTypedLabel(std::optional<std::string> text) {
    m_typed = std::move(text);
    refresh();
}

void DisplayPreviewBox::advance() {
    // Only the animation moves with time; still screens are drawn again to follow edits.
    if (m_direction->currentIndex() == 1 || m_liftState->currentIndex() > 0)
        ++m_step;
    refresh();
}

void DisplayPreviewBox::refresh() {
    Preview::ScreenState state;
    state.table = m_table.value_or(m_session.project.defaultCodeTable);
    state.code = m_code;
    state.label = m_typed;
    state.travelling = m_direction->currentIndex() == 1;
    state.liftState = m_liftState->currentIndex() - 1;
    state.logo = m_logo->isChecked();
    state.step = m_step;
    Preview::ScreenPreview next = Preview::PreviewScreen(m_pieces, state);

    m_caption->setText(QStringLiteral("CTBL%1  %2")
                           .arg(state.table)
                           .arg(QString::fromLatin1(Editor::CodeColumnLabel(state.code))));
    QStringList problems;
    for (const std::string& p : next.problems)
        problems << QString::fromLatin1(p);
    m_problems->setText(problems.join(u'\n'));
    const bool changed = next.screen.black != m_preview.screen.black || !m_screen->hasPicture();
    m_preview = std::move(next);
    if (changed)
        m_screen->setPicture(Rom::BlackPictureImage(m_preview.screen, kScale));
}

} // namespace Lift::Window
