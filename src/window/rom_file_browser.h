#pragma once
// RomFileBrowser: the Make tab's folder tree and the list of the ROM images (*.BIN, any
// letter case) in the folder chosen there.
//
// The list is read when the folder changes and on refresh(); it is not watched, so whoever
// writes an image (MAKE ROM) refreshes it. GUI thread only.
#include <QSet>
#include <QString>
#include <QWidget>

class QFileSystemModel;
class QListWidget;
class QTreeView;

namespace Lift::Window {

class RomFileBrowser : public QWidget {
    Q_OBJECT
public:
    explicit RomFileBrowser(const QString& folder, QWidget* parent = nullptr);

    // Shows the folder in the tree and its images in the list.
    void setFolder(const QString& folder);
    const QString& folder() const { return m_folder; }
    // True once the tree shows the folder: it is the current item and every folder above it
    // is open and read (the model reads folders in the background).
    bool showsFolder() const;
    // Reads the list of the current folder again.
    void refresh();

    QTreeView& folderTree() { return *m_tree; }
    QListWidget& fileList() { return *m_files; }

Q_SIGNALS:
    // A file of the list was clicked or selected: its name without the folder.
    void fileChosen(const QString& fileName);

private:
    void chooseRow(int row);

    QString m_folder;
    QSet<QString> m_read; // folders whose contents the model has read
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QListWidget* m_files = nullptr;
};

} // namespace Lift::Window
