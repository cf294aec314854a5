#include "window/rom_file_browser.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace Lift::Window {

RomFileBrowser::RomFileBrowser(const QString& folder, QWidget* parent) : QWidget(parent) {
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setRootPath(QString());

    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    // Only the names: size, kind and date say nothing about a folder worth choosing.
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setHeaderHidden(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // By name, as file managers show folders, not in the order the disk lists them.
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);

    m_files = new QListWidget(this);
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_tree);
    split->addWidget(m_files);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    setFolder(m_model->filePath(current));
            });
    // The model reads folders in the background: bring the chosen one into view again as
    // the folders above it arrive.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        m_read.insert(loaded);
        if (m_folder.startsWith(loaded))
            m_tree->scrollTo(m_model->index(m_folder), QAbstractItemView::PositionAtCenter);
    });
    // Keyboard selection chooses a file as a click does.
    connect(m_files, &QListWidget::currentRowChanged, this, &RomFileBrowser::chooseRow);
    connect(m_files, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { chooseRow(m_files->row(item)); });

    setFolder(folder);
}

void RomFileBrowser::setFolder(const QString& folder) {
    const QString absolute = QDir(folder).absolutePath();
    if (absolute == m_folder)
        return;
    m_folder = absolute;
    const QModelIndex index = m_model->index(m_folder);
    // The tree's own change comes back here with the same folder and ends at the check above.
    if (index.isValid() && m_tree->currentIndex() != index) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    refresh();
}

bool RomFileBrowser::showsFolder() const {
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid() || m_model->filePath(current) != m_folder)
        return false;
    for (QModelIndex above = current.parent(); above.isValid(); above = above.parent())
        if (!m_tree->isExpanded(above) || !m_read.contains(m_model->filePath(above)))
            return false;
    return true;
}

void RomFileBrowser::refresh() {
    QDir dir(m_folder);
    // Name filters ignore letter case unless told otherwise: *.BIN finds rom.bin too.
    dir.setNameFilters({QStringLiteral("*.BIN")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker block(m_files);
    m_files->clear();
    m_files->addItems(dir.entryList());
}

void RomFileBrowser::chooseRow(int row) {
    if (const QListWidgetItem* item = m_files->item(row))
        Q_EMIT fileChosen(item->text());
}

} // namespace Lift::Window
