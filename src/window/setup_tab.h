#pragma once
// SetupTab: the "Setup" tab — project buttons, the code-table grid with its floor-label
// preview, the styles, the message slot pictures, the message position, the version and the
// display side.
//
// Every control writes the project at once; showModel() shows the project in them again.
// GUI thread only.
#include "editor/editor_session.h"

#include <QWidget>
#include <array>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace Lift::Window {

class DisplayPreviewBox;
class PictureLabel;
class QtEditorUi;

class SetupTab : public QWidget {
    Q_OBJECT
public:
    SetupTab(Editor::EditorSession& session, QtEditorUi& ui, QWidget* parent = nullptr);
    ~SetupTab() override;

    // Shows the project's fields in the tab's controls.
    void showModel();

    // Ends in-place editing of the grid, taking the typed text into the project, so that
    // what the user sees is what is saved, built or checked. Every action that reads the
    // project calls this first: the grid gives its text only when the editor closes.
    void commitOpenCell();

    // "Save", "Load" and "Clear ALL".
    void saveProject();
    void loadProject();
    void clearAll();

    // The controls, for the window and its tests.
    QTableWidget& grid() { return *m_grid; }
    PictureLabel& floorLabelPreview() { return *m_preview; }
    DisplayPreviewBox& displayPreview() { return *m_displayPreview; }
    // Double-clickable slot picture n (14..53), numbered as on screen.
    PictureLabel& slotPicture(int pictureNumber);
    QButtonGroup& codeTableButtons() { return *m_codeTable; }
    QButtonGroup& floorStyleButtons() { return *m_floorStyle; }
    QButtonGroup& directionStyleButtons() { return *m_directionStyle; }
    QButtonGroup& messagePositionButtons() { return *m_messagePosition; }
    QButtonGroup& displaySideButtons() { return *m_displaySide; }
    QCheckBox& messageColumnBox(int screenIndex) {
        return *m_columnBoxes.at(static_cast<std::size_t>(screenIndex));
    }
    QComboBox& versionCombo() { return *m_version; }
    QPushButton& saveButton() { return *m_save; }
    QPushButton& loadButton() { return *m_load; }
    QPushButton& clearButton() { return *m_clear; }
    QPushButton& checkButton() { return *m_check; }
    QPushButton& sheetButton() { return *m_sheet; }

    // Brings the picture of slot (row, column) into view and gives it the focus.
    void showSlot(int row, int column);

Q_SIGNALS:
    // A load or clear replaced the project: every control shows it anew.
    void projectReplaced();
    // "Check" and "Print sheet...": the window runs them, as they show places on both tabs.
    void checkRequested();
    void sheetRequested();

private:
    QWidget* buildGridSide();
    QWidget* buildStyles();
    QWidget* buildMessages();
    QWidget* buildOptions();
    QButtonGroup* radioRow(const QStringList& captions, int firstValue);
    void showGridLabels();
    void showCodeTables();
    void cellEdited(int row, int column);
    void cellClicked(int row, int column);
    void currentCellChanged(int row, int column);
    void versionChosen(int index);

    Editor::EditorSession& m_session;
    QtEditorUi& m_ui;
    bool m_showing = false; // showModel is filling the controls: no write-back

    QPushButton* m_save = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_check = nullptr;
    QPushButton* m_sheet = nullptr;
    QTabWidget* m_messagePages = nullptr;
    QTableWidget* m_grid = nullptr;
    PictureLabel* m_preview = nullptr;
    DisplayPreviewBox* m_displayPreview = nullptr;
    QButtonGroup* m_codeTable = nullptr;
    QButtonGroup* m_floorStyle = nullptr;
    QButtonGroup* m_directionStyle = nullptr;
    QButtonGroup* m_messagePosition = nullptr;
    QButtonGroup* m_displaySide = nullptr;
    std::array<QCheckBox*, 4> m_columnBoxes{};
    std::array<PictureLabel*, Editor::kSlotRows * Editor::kSlotColumns> m_slots{};
    QComboBox* m_version = nullptr;
    QCheckBox* m_dateTime = nullptr;
};

} // namespace Lift::Window
