#include "window/qt_editor_ui.h"

#include "editor/display_picture.h"
#include "window/picture_label.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>

#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace Lift::Window {

namespace {

// Lets a thread that raised a box go once the box's call on the window's thread has run,
// or has been dropped unrun because the window went away.
class BoxTicket {
public:
    void wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_released.wait(lock, [this] { return m_done; });
    }
    void release(bool shown) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
            m_shown = shown;
        }
        m_released.notify_all();
    }
    bool shown() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_shown;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_done = false;
    bool m_shown = false;
};

// Held by the queued call: releases the ticket when the call is destroyed, run or not.
struct TicketHold {
    std::shared_ptr<BoxTicket> ticket;
    bool shown = false;
    ~TicketHold() { ticket->release(shown); }
};

enum DialogKind { ProjectDialog, PictureDialog, OtherDialog };

int kindOf(const Editor::FileDialogRequest& request, bool picture) {
    if (picture)
        return PictureDialog;
    return request.defaultExt == "lcp" || request.filter.find("*.lcp") != std::string::npos
               ? ProjectDialog
               : OtherDialog;
}

// Length of the well-formed UTF-8 sequence at text[i] (the system's 8-bit text on this
// platform), or 0.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

} // namespace

QString QtFilter(const std::string& filter) {
    const QStringList parts = QString::fromLatin1(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString masks = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + masks + QLatin1Char(')');
        out << description;
    }
    return out.join(QStringLiteral(";;"));
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromSystemText(const std::string& text) {
    // Valid runs are decoded as file names are; a stray byte stands for its Latin-1 letter.
    QString shown;
    std::size_t run = 0;
    const auto flush = [&](std::size_t end) { shown += FromPath(text.substr(run, end - run)); };
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t n = Utf8SequenceLength(text, i)) {
            i += n;
            continue;
        }
        flush(i);
        shown += QChar(static_cast<unsigned char>(text[i]));
        run = ++i;
    }
    flush(text.size());
    return shown;
}

QtEditorUi::QtEditorUi(QWidget* window) : m_window(window) {}

// What the sink needs to reach the window, shared with the threads inside the sink.
struct QtEditorUi::BoxRoute {
    std::mutex mutex;
    QObject* context = nullptr; // on the window's thread; null once the window is going
    YVclUtil::ErrorBoxSink previous;
};

QtEditorUi::~QtEditorUi() {
    if (m_sinkInstalled) {
        YVclUtil::SetErrorBoxSink(m_boxRoute->previous);
        {
            std::lock_guard<std::mutex> lock(m_boxRoute->mutex);
            m_boxRoute->context = nullptr;
        }
        m_boxContext.reset(); // drops boxes still queued: their threads go on
    }
    while (m_busyDepth > 0)
        setBusy(false);
}

std::optional<std::string>
QtEditorUi::runFileDialog(int kind, const Editor::FileDialogRequest& request, bool save) {
    QString folder = request.initialDir.empty() ? m_lastFolder[static_cast<std::size_t>(kind)]
                                                : FromPath(request.initialDir);
    if (folder.isEmpty())
        folder = QDir::currentPath();
    const QString start =
        request.initialName.empty() ? folder : QDir(folder).filePath(FromPath(request.initialName));
    const QString title = FromSystemText(request.title);
    const QString filter = QtFilter(request.filter);
    QFileDialog dialog(m_window, title, start, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The overwrite question is the core's own, asked after the dialog.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.defaultExt.empty())
        dialog.setDefaultSuffix(QString::fromLatin1(request.defaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    m_lastFolder[static_cast<std::size_t>(kind)] = QFileInfo(chosen).absolutePath();
    return ToPath(chosen);
}

std::optional<std::string> QtEditorUi::chooseSaveFile(const Editor::FileDialogRequest& request) {
    if (m_script)
        return m_script->chooseSaveFile(request);
    return runFileDialog(kindOf(request, false), request, true);
}

std::optional<std::string> QtEditorUi::chooseOpenFile(const Editor::FileDialogRequest& request) {
    if (m_script)
        return m_script->chooseOpenFile(request);
    return runFileDialog(kindOf(request, false), request, false);
}

std::optional<std::string> QtEditorUi::choosePictureFile(const Editor::FileDialogRequest& request) {
    if (m_script)
        return m_script->choosePictureFile(request);
    Editor::FileDialogRequest pictures = request;
    if (pictures.filter.empty())
        pictures.filter = "Bitmaps (*.bmp)|*.bmp;*.BMP|All files (*)|*";
    return runFileDialog(PictureDialog, pictures, false);
}

bool QtEditorUi::askYesNo(const std::string& text, const std::string& caption) {
    if (m_script)
        return m_script->askYesNo(text, caption);
    return QMessageBox::question(m_window, FromSystemText(caption), FromSystemText(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtEditorUi::messageBox(const std::string& text, const std::string& caption) {
    if (m_script) {
        m_script->messageBox(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, FromSystemText(caption), FromSystemText(text).trimmed(),
                    QMessageBox::Ok, m_window);
    if (caption == "Error")
        box.setIcon(QMessageBox::Critical);
    box.exec();
}

void QtEditorUi::appendLog(const std::string& line) {
    if (!m_log)
        return;
    m_log->moveCursor(QTextCursor::End);
    m_log->append(FromSystemText(line));
    m_log->moveCursor(QTextCursor::End);
}

void QtEditorUi::clearLog() {
    if (m_log)
        m_log->clear();
}

void QtEditorUi::setStatusPanel(int panel, const std::string& text) {
    if (panel >= 0 && panel < 4 && m_status[static_cast<std::size_t>(panel)])
        m_status[static_cast<std::size_t>(panel)]->setText(FromSystemText(text));
}

void QtEditorUi::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        if (--m_busyDepth == 0)
            QApplication::restoreOverrideCursor();
    }
}

void QtEditorUi::addPictureBox(Editor::PictureBox box, int index, PictureLabel* label) {
    m_pictures[{static_cast<int>(box), index}] = label;
}

PictureLabel* QtEditorUi::pictureBox(Editor::PictureBox box, int index) const {
    const auto it = m_pictures.find({static_cast<int>(box), index});
    return it == m_pictures.end() ? nullptr : it->second;
}

bool QtEditorUi::showPicture(Editor::PictureBox box, int index, const std::string& path) {
    QImage picture;
    std::string error;
    if (!Editor::LoadDisplayPicture(path, picture, error)) {
        messageBox(error, "Error");
        return false;
    }
    if (PictureLabel* label = pictureBox(box, index))
        label->setPicture(picture);
    return true;
}

void QtEditorUi::installErrorBoxSink() {
    if (m_sinkInstalled)
        return;
    m_sinkInstalled = true;
    m_boxContext = std::make_unique<QObject>();
    m_boxRoute = std::make_shared<BoxRoute>();
    m_boxRoute->context = m_boxContext.get();
    auto sink = [this, route = m_boxRoute](const std::string& caption, const std::string& text) {
        std::shared_ptr<BoxTicket> ticket;
        YVclUtil::ErrorBoxSink previous;
        {
            std::unique_lock<std::mutex> lock(route->mutex);
            if (route->context && QThread::currentThread() == route->context->thread()) {
                lock.unlock();
                showErrorBox(caption, text);
                return;
            }
            if (route->context) {
                // Another thread (the serial monitor's): the box is shown on the window's
                // thread, and this thread waits until the user has closed it. The window's
                // thread serves the call from its loop, also while it waits for this thread
                // to end (MainLoop::waitUntil), so the wait cannot deadlock there.
                ticket = std::make_shared<BoxTicket>();
                auto hold = std::make_shared<TicketHold>();
                hold->ticket = ticket;
                QMetaObject::invokeMethod(
                    route->context,
                    [this, caption, text, hold] {
                        showErrorBox(caption, text);
                        hold->shown = true;
                    },
                    Qt::QueuedConnection);
            }
            previous = route->previous;
        }
        if (ticket) {
            ticket->wait();
            if (ticket->shown())
                return;
        }
        // The window went before the box could be shown: it is not lost.
        if (previous)
            previous(caption, text);
        else
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    };
    std::lock_guard<std::mutex> lock(m_boxRoute->mutex);
    m_boxRoute->previous = YVclUtil::SetErrorBoxSink(sink);
}

void QtEditorUi::showErrorBox(const std::string& caption, const std::string& text) {
    if (m_script) {
        m_script->messageBox(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::Critical, FromSystemText(caption), FromSystemText(text),
                    QMessageBox::Ok, m_window);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace Lift::Window
