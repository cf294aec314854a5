#pragma once
// CheckDialog: the findings of the last check, one a line (severity, place, message), beside
// the main window. Choosing a finding asks the window to show its place (the grid cell, the
// slot picture or the setting's control); "Check again" asks for a new check.
// Modeless, owned by the main window; GUI thread only.
#include "commissioning/check.h"

#include <QDialog>
#include <vector>

class QLabel;
class QTreeWidget;

namespace Lift::Window {

class CheckDialog : public QDialog {
    Q_OBJECT
public:
    explicit CheckDialog(QWidget* parent);

    // Lists `findings` and shows the dialog.
    void showFindings(const std::vector<Commissioning::Finding>& findings);

    QTreeWidget& list() { return *m_list; }
    QLabel& summary() { return *m_summary; }

Q_SIGNALS:
    void placeChosen(const Commissioning::FindingPlace& place);
    void checkAgain();

private:
    void chosen();

    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
    std::vector<Commissioning::Finding> m_findings;
};

} // namespace Lift::Window
