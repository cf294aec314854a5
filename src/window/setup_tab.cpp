#include "window/setup_tab.h"

#include "editor/choose_slot_picture.h"
#include "editor/code_table_labels.h"
#include "editor/floor_label_preview.h"
#include "editor/program_settings.h"
#include "editor/text_rules.h"
#include "project/project_file.h"
#include "window/display_preview_box.h"
#include "window/picture_label.h"
#include "window/qt_editor_ui.h"
#include "window/run_guarded.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <functional>

namespace Lift::Window {

using Editor::PictureBox;

namespace {

constexpr int kGridColumns = 5;
constexpr int kFixedColumns = 2;
constexpr std::array<int, kGridColumns> kColumnWidths{74, 71, 55, 50, 49};
constexpr int kRowHeight = 16;
constexpr int kFirstSlotPicture = 14;
constexpr int kSlotsPerTab = 5;
constexpr int kSpacing = 6;

// Checks the button whose id is `value`; a value no button has leaves all of them clear.
void checkValue(QButtonGroup& group, int value) {
    if (QAbstractButton* button = group.button(value)) {
        button->setChecked(true);
        return;
    }
    group.setExclusive(false);
    for (QAbstractButton* b : group.buttons())
        b->setChecked(false);
    group.setExclusive(true);
}

QString latin1(const std::string& text) {
    return QString::fromLatin1(text);
}

// The grid's cell editor, reporting each keystroke so the display preview can follow the
// label while it is typed, before the cell is committed.
class TypingDelegate : public QStyledItemDelegate {
public:
    using Typed = std::function<void(const QModelIndex&, const QString&)>;
    TypingDelegate(Typed typed, QObject* parent)
        : QStyledItemDelegate(parent), m_typed(std::move(typed)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            connect(line, &QLineEdit::textEdited, this,
                    [typed = m_typed, index](const QString& text) { typed(index, text); });
        return editor;
    }

private:
    Typed m_typed;
};

} // namespace

SetupTab::SetupTab(Editor::EditorSession& session, QtEditorUi& ui, QWidget* parent)
    : QWidget(parent), m_session(session), m_ui(ui) {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildGridSide());
    m_displayPreview = new DisplayPreviewBox(m_session, this);
    layout->addWidget(m_displayPreview);
    layout->addWidget(buildStyles());
    auto* right = new QVBoxLayout;
    right->addWidget(buildMessages());
    right->addWidget(buildOptions());
    right->addStretch(1);
    layout->addLayout(right);
    layout->addStretch(1);
    showGridLabels();
}

SetupTab::~SetupTab() = default;

QButtonGroup* SetupTab::radioRow(const QStringList& captions, int firstValue) {
    auto* group = new QButtonGroup(this);
    int value = firstValue;
    for (const QString& caption : captions)
        group->addButton(new QRadioButton(caption), value++);
    return group;
}

QWidget* SetupTab::buildGridSide() {
    auto* side = new QWidget(this);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* buttons = new QHBoxLayout;
    m_save = new QPushButton(QStringLiteral("Save"), side);
    m_load = new QPushButton(QStringLiteral("Load"), side);
    m_clear = new QPushButton(QStringLiteral("Clear ALL"), side);
    m_save->setToolTip(QStringLiteral("Save the project (Ctrl+S)"));
    m_load->setToolTip(QStringLiteral("Load a project (Ctrl+O)"));
    for (QPushButton* b : {m_save, m_load, m_clear})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(m_save, &QPushButton::clicked, this, &SetupTab::saveProject);
    connect(m_load, &QPushButton::clicked, this, &SetupTab::loadProject);
    connect(m_clear, &QPushButton::clicked, this, &SetupTab::clearAll);

    auto* tools = new QHBoxLayout;
    m_check = new QPushButton(QStringLiteral("Check"), side);
    m_sheet = new QPushButton(QStringLiteral("Print sheet\u2026"), side);
    m_check->setToolTip(QStringLiteral("List what MAKE ROM would drop, cut or refuse (F7)"));
    m_sheet->setToolTip(QStringLiteral("Write the commissioning sheet as a PDF file"));
    tools->addWidget(m_check);
    tools->addWidget(m_sheet);
    layout->addLayout(tools);
    connect(m_check, &QPushButton::clicked, this, &SetupTab::checkRequested);
    connect(m_sheet, &QPushButton::clicked, this, &SetupTab::sheetRequested);

    // The three caption-less buttons stand above the three table columns.
    m_codeTable = radioRow({QString(), QString(), QString()}, 0);
    auto* tableRow = new QHBoxLayout;
    tableRow->setSpacing(0);
    tableRow->addSpacing(kColumnWidths[0] + kColumnWidths[1] + 2);
    for (int t = 0; t < Editor::kCodeTableCount; ++t) {
        QAbstractButton* b = m_codeTable->button(t);
        b->setFixedWidth(kColumnWidths.at(static_cast<std::size_t>(t) + kFixedColumns));
        b->setToolTip(QStringLiteral("Default code table CTBL%1").arg(t));
        tableRow->addWidget(b);
    }
    tableRow->addStretch(1);
    layout->addLayout(tableRow);
    connect(m_codeTable, &QButtonGroup::idClicked, this,
            [this](int id) { m_session.project.defaultCodeTable = id; });

    m_grid = new QTableWidget(Editor::kCodeCount, kGridColumns, side);
    m_grid->setObjectName(QStringLiteral("StringGrid5"));
    m_grid->setToolTip(QStringLiteral("Double click"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("bit [ 5..0 ]"), QStringLiteral("HEX (DEC)"),
                                       QStringLiteral("CTBL0"), QStringLiteral("CTBL1"),
                                       QStringLiteral("CTBL2")});
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setMinimumSectionSize(kRowHeight);
    m_grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    int gridWidth = 2 * m_grid->frameWidth() + 20;
    for (int c = 0; c < kGridColumns; ++c) {
        m_grid->setColumnWidth(c, kColumnWidths[static_cast<std::size_t>(c)]);
        gridWidth += kColumnWidths[static_cast<std::size_t>(c)];
    }
    m_grid->setMinimumWidth(gridWidth);
    const QBrush fixed = palette().button();
    for (int code = 0; code < Editor::kCodeCount; ++code) {
        for (int c = 0; c < kGridColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (c < kFixedColumns) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixed);
            }
            m_grid->setItem(code, c, item);
        }
        m_grid->item(code, 1)->setText(latin1(Editor::CodeColumnLabel(code)));
    }
    layout->addWidget(m_grid, 1);
    connect(m_grid, &QTableWidget::cellChanged, this, &SetupTab::cellEdited);
    connect(m_grid, &QTableWidget::cellClicked, this, &SetupTab::cellClicked);
    connect(m_grid, &QTableWidget::currentCellChanged, this, &SetupTab::currentCellChanged);
    auto* delegate = new TypingDelegate(
        [this](const QModelIndex& index, const QString& text) {
            currentCellChanged(index.row(), index.column());
            m_displayPreview->showTypedLabel(text.toLatin1().toStdString());
        },
        m_grid);
    m_grid->setItemDelegate(delegate);
    // A closed editor has either written the cell (cellEdited redraws) or been cancelled.
    connect(delegate, &QAbstractItemDelegate::closeEditor, this,
            [this] { m_displayPreview->showTypedLabel(std::nullopt); });
    return side;
}

QWidget* SetupTab::buildStyles() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* fl = new QGroupBox(QStringLiteral("FL Style:"), column);
    auto* flLayout = new QGridLayout(fl);
    m_floorStyle = radioRow({QStringLiteral("Style 0"), QStringLiteral("Style 1"),
                             QStringLiteral("Style 2"), QStringLiteral("Style 3")},
                            0);
    for (int s = 0; s < Editor::kFloorStyleCount; ++s) {
        auto* preview = new PictureLabel(QSize(64, 64), fl);
        m_ui.addPictureBox(PictureBox::FloorStylePreview, s, preview);
        flLayout->addWidget(m_floorStyle->button(s), (s / 2) * 2, s % 2);
        flLayout->addWidget(preview, (s / 2) * 2 + 1, s % 2);
    }
    connect(m_floorStyle, &QButtonGroup::idClicked, this,
            [this](int id) { m_session.project.floorStyle = id; });
    layout->addWidget(fl);

    auto* dir = new QGroupBox(QStringLiteral("DIR Style:"), column);
    auto* dirLayout = new QGridLayout(dir);
    m_directionStyle =
        radioRow({QStringLiteral("Style 0"), QStringLiteral("Style 1"), QStringLiteral("Style 2"),
                  QStringLiteral("Style 3"), QStringLiteral("Style 4")},
                 0);
    for (int s = 0; s < Editor::kDirectionStyleCount; ++s) {
        auto* preview = new PictureLabel(QSize(48, 48), dir);
        m_ui.addPictureBox(PictureBox::DirectionStylePreview, s, preview);
        dirLayout->addWidget(m_directionStyle->button(s), (s / 3) * 2, s % 3);
        dirLayout->addWidget(preview, (s / 3) * 2 + 1, s % 3);
    }
    connect(m_directionStyle, &QButtonGroup::idClicked, this,
            [this](int id) { m_session.project.directionStyle = id; });
    layout->addWidget(dir);

    auto* previewBox = new QGroupBox(QStringLiteral("Preview:"), column);
    auto* previewLayout = new QVBoxLayout(previewBox);
    m_preview = new PictureLabel(QSize(Editor::kPreviewSide, Editor::kPreviewSide), previewBox);
    m_preview->setToolTip(QStringLiteral("Click a floor label in the table"));
    previewLayout->addWidget(m_preview);
    layout->addWidget(previewBox);
    layout->addStretch(1);
    return column;
}

QWidget* SetupTab::buildMessages() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);

    // One box above each column of slot pictures, after the row labels' column.
    auto* boxes = new QHBoxLayout;
    boxes->setSpacing(kSpacing);
    boxes->addSpacing(64 + kSpacing + 12);
    for (std::size_t i = 0; i < m_columnBoxes.size(); ++i) {
        auto* check = new QCheckBox(box);
        check->setFixedWidth(64);
        check->setToolTip(QStringLiteral("Show this message column"));
        connect(check, &QCheckBox::toggled, this, [this, i](bool on) {
            if (!m_showing)
                m_session.project.messageColumnBoxes[i] = on;
        });
        boxes->addWidget(check);
        m_columnBoxes[i] = check;
    }
    boxes->addStretch(1);
    layout->addLayout(boxes);

    auto* pages = new QTabWidget(box);
    m_messagePages = pages;
    for (int page = 0; page < Editor::kSlotRows / kSlotsPerTab; ++page) {
        auto* sheet = new QWidget(pages);
        auto* grid = new QGridLayout(sheet);
        grid->setSpacing(kSpacing);
        for (int line = 0; line < kSlotsPerTab; ++line) {
            const int row = page * kSlotsPerTab + line;
            auto* label = new PictureLabel(QSize(64, 16), sheet);
            m_ui.addPictureBox(PictureBox::SlotRowLabel, row, label);
            grid->addWidget(label, line, 0);
            for (int p = 0; p < Editor::kSlotColumns; ++p) {
                const int number = kFirstSlotPicture + row * Editor::kSlotColumns + p;
                int slotRow = 0;
                int slotColumn = 0;
                Editor::SlotOfPicture(number, slotRow, slotColumn);
                auto* picture = new PictureLabel(QSize(64, 16), sheet);
                picture->setObjectName(QStringLiteral("Image%1").arg(number));
                picture->setToolTip(QStringLiteral("Double click to choose a picture"));
                picture->setFocusPolicy(Qt::ClickFocus); // the check points at it
                m_ui.addPictureBox(PictureBox::Slot, slotRow * Editor::kSlotColumns + slotColumn,
                                   picture);
                m_slots[static_cast<std::size_t>(number - kFirstSlotPicture)] = picture;
                connect(picture, &PictureLabel::doubleClicked, this, [this, slotRow, slotColumn] {
                    RunGuarded(
                        [&] { Editor::ChooseSlotPicture(m_session, m_ui, slotRow, slotColumn); });
                });
                grid->addWidget(picture, line, 1 + p);
            }
        }
        grid->setColumnStretch(Editor::kSlotColumns + 1, 1);
        pages->addTab(sheet, QStringLiteral("Message"));
    }
    layout->addWidget(pages);
    return box;
}

QWidget* SetupTab::buildOptions() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* position = new QGroupBox(QStringLiteral("Massage position:"), box);
    auto* positionLayout = new QGridLayout(position);
    m_messagePosition = radioRow({QString(), QString(), QString()}, 0);
    for (int p = 0; p < Editor::kMessagePositionCount; ++p) {
        auto* picture = new PictureLabel(QSize(64, 128), position);
        m_ui.addPictureBox(PictureBox::MessageLayout, p, picture);
        positionLayout->addWidget(m_messagePosition->button(p), 0, p, Qt::AlignHCenter);
        positionLayout->addWidget(picture, 1, p);
    }
    positionLayout->setColumnStretch(Editor::kMessagePositionCount, 1);
    connect(m_messagePosition, &QButtonGroup::idClicked, this,
            [this](int id) { m_session.project.messagePosition = id; });
    layout->addWidget(position);

    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(new QLabel(QStringLiteral("Version:"), box));
    m_version = new QComboBox(box);
    m_version->setMinimumContentsLength(12);
    versionRow->addWidget(m_version);
    versionRow->addSpacing(12);
    m_displaySide = new QButtonGroup(this);
    m_displaySide->addButton(new QRadioButton(QStringLiteral("Right"), box), 1);
    m_displaySide->addButton(new QRadioButton(QStringLiteral("Left"), box), 2);
    versionRow->addWidget(m_displaySide->button(1));
    versionRow->addWidget(m_displaySide->button(2));
    versionRow->addStretch(1);
    layout->addLayout(versionRow);
    connect(m_version, &QComboBox::currentIndexChanged, this, &SetupTab::versionChosen);
    connect(m_displaySide, &QButtonGroup::idClicked, this,
            [this](int id) { m_session.project.displaySide = id; });

    m_dateTime = new QCheckBox(QStringLiteral("Enable Date and Time function"), box);
    m_dateTime->setEnabled(false);
    layout->addWidget(m_dateTime);
    return box;
}

PictureLabel& SetupTab::slotPicture(int pictureNumber) {
    return *m_slots.at(static_cast<std::size_t>(pictureNumber - kFirstSlotPicture));
}

void SetupTab::showSlot(int row, int column) {
    for (int n = kFirstSlotPicture;
         n < kFirstSlotPicture + Editor::kSlotRows * Editor::kSlotColumns; ++n) {
        int r = 0;
        int c = 0;
        if (Editor::SlotOfPicture(n, r, c) && r == row && c == column) {
            m_messagePages->setCurrentIndex(row / kSlotsPerTab);
            slotPicture(n).setFocus();
            return;
        }
    }
}

void SetupTab::showGridLabels() {
    const bool gray = Editor::UsesGrayOrder(m_session.project.versionName);
    const bool was = m_showing;
    m_showing = true;
    for (int code = 0; code < Editor::kCodeCount; ++code)
        m_grid->item(code, 0)->setText(latin1(Editor::InputPatternLabel(code, gray)));
    m_showing = was;
}

void SetupTab::showCodeTables() {
    const bool was = m_showing;
    m_showing = true;
    for (int t = 0; t < Editor::kCodeTableCount; ++t)
        for (int code = 0; code < Editor::kCodeCount; ++code)
            m_grid->item(code, kFixedColumns + t)
                ->setText(latin1(m_session.project.codeTables[static_cast<std::size_t>(t)]
                                                             [static_cast<std::size_t>(code)]));
    m_showing = was;
}

void SetupTab::showModel() {
    const Editor::DisplayProject& p = m_session.project;
    m_showing = true;
    showGridLabels();
    showCodeTables();
    checkValue(*m_codeTable, p.defaultCodeTable);
    checkValue(*m_floorStyle, p.floorStyle);
    checkValue(*m_directionStyle, p.directionStyle);
    checkValue(*m_messagePosition, p.messagePosition);
    checkValue(*m_displaySide, p.displaySide);
    for (std::size_t i = 0; i < m_columnBoxes.size(); ++i)
        m_columnBoxes[i]->setChecked(p.messageColumnBoxes[i]);
    m_version->clear();
    for (const std::string& entry : p.versionEntries)
        m_version->addItem(latin1(entry));
    m_version->setCurrentIndex(p.versionIndex);
    m_dateTime->setChecked(p.dateTimeBox);
    m_showing = false;
}

void SetupTab::cellEdited(int row, int column) {
    if (m_showing || column < kFixedColumns || row < 0 || row >= Editor::kCodeCount)
        return;
    m_session.project.codeTables[static_cast<std::size_t>(column - kFixedColumns)]
                                [static_cast<std::size_t>(row)] =
        m_grid->item(row, column)->text().toLatin1().toStdString();
    m_displayPreview->refresh();
}

void SetupTab::currentCellChanged(int row, int column) {
    if (row < 0 || row >= Editor::kCodeCount)
        return;
    m_displayPreview->showCode(
        column >= kFixedColumns ? std::optional<int>(column - kFixedColumns) : std::nullopt, row);
}

void SetupTab::cellClicked(int row, int column) {
    if (column < kFixedColumns || row < 0 || row >= Editor::kCodeCount)
        return;
    RunGuarded([&] {
        QImage preview = m_preview->picture();
        const std::string text =
            m_session.project.codeTables[static_cast<std::size_t>(column - kFixedColumns)]
                                        [static_cast<std::size_t>(row)];
        if (Editor::PreviewFloorLabel(m_session, m_ui, text, preview))
            m_preview->setPicture(preview);
    });
}

void SetupTab::versionChosen(int index) {
    if (m_showing)
        return;
    Editor::DisplayProject& p = m_session.project;
    p.versionIndex = index;
    RunGuarded([&] {
        Editor::SelectVersion(Editor::Trimmed(m_version->itemText(index).toLatin1().toStdString()),
                              m_session.program.startDirectory, m_session.program.settings, p,
                              m_ui);
    });
    showGridLabels();
}

void SetupTab::commitOpenCell() {
    QWidget* editor = m_grid->indexWidget(m_grid->currentIndex());
    if (!editor)
        return;
    // What Return does in the editor: the delegate hands the text over, then closes it.
    QAbstractItemDelegate* delegate = m_grid->itemDelegateForIndex(m_grid->currentIndex());
    Q_EMIT delegate->commitData(editor);
    Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void SetupTab::saveProject() {
    commitOpenCell();
    RunGuarded([this] { Project::SaveProject(m_session, m_ui); });
    Q_EMIT projectReplaced();
}

void SetupTab::loadProject() {
    // Also when the project is replaced: an editor left open would later write its text
    // over the loaded cell.
    commitOpenCell();
    RunGuarded([this] { Project::LoadProject(m_session, m_ui); });
    Q_EMIT projectReplaced();
}

void SetupTab::clearAll() {
    commitOpenCell();
    RunGuarded([this] { Project::ClearAll(m_session, m_ui); });
    Q_EMIT projectReplaced();
}

} // namespace Lift::Window
