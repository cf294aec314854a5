#pragma once
// DisplayPreviewBox: the "Display preview" box beside the code-table grid — the
// indicator's screen for the chosen code, drawn from the project as it is edited.
//
// The chosen code comes from the grid; the box's own controls choose direction, lift state
// and logo. A steady timer advances the animation and draws the screen again from the
// project, so every edit shows within one step; the grid also asks for an immediate redraw.
// It previews the pictures, not the controller's timing. GUI thread only.
#include "editor/editor_session.h"
#include "preview/display_preview.h"
#include "preview/project_pieces.h"

#include <QGroupBox>
#include <QTimer>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;

namespace Lift::Window {

class PictureLabel;

class DisplayPreviewBox : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int kScale = 2;
    static constexpr int kStepMilliseconds = 125;

    DisplayPreviewBox(const Editor::EditorSession& session, QWidget* parent = nullptr);

    // Previews `code` of `table`, or of the default code table when there is no table.
    void showCode(std::optional<int> table, int code);
    // While a cell is being typed in: its text instead of the stored label; nothing ends it.
    void showTypedLabel(std::optional<std::string> text);
    // Draws the screen again from the project as it is now.
    void refresh();
    // One animation step, as the timer makes it.
    void advance();

    const Preview::ScreenPreview& preview() const { return m_preview; }
    PictureLabel& screen() { return *m_screen; }
    QComboBox& directionChoice() { return *m_direction; }
    QComboBox& liftStateChoice() { return *m_liftState; }
    QCheckBox& logoChoice() { return *m_logo; }
    QLabel& problemsText() { return *m_problems; }
    QTimer& animation() { return m_timer; }

private:
    Preview::ProjectPieces m_pieces;
    const Editor::EditorSession& m_session;
    std::optional<int> m_table;
    int m_code = 0;
    std::optional<std::string> m_typed;
    int m_step = 0;
    Preview::ScreenPreview m_preview;
    QTimer m_timer;

    QLabel* m_caption = nullptr;
    PictureLabel* m_screen = nullptr;
    QComboBox* m_direction = nullptr;
    QComboBox* m_liftState = nullptr;
    QCheckBox* m_logo = nullptr;
    QLabel* m_problems = nullptr;
};

} // namespace Lift::Window
