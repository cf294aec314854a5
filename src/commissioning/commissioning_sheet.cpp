#include "commissioning/commissioning_sheet.h"

#include "commissioning/project_settings.h"
#include "editor/code_table_labels.h"
#include "preview/display_preview.h"
#include "preview/project_pieces.h"
#include "preview/screen_layout.h"
#include "rom/floor_label_rules.h"
#include "util/atomic_file.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <map>
#include <vector>

namespace Lift::Commissioning {

namespace {

// Points (1/72 inch) on an A4 page.
constexpr double kPageWidth = 595, kPageHeight = 842, kMargin = 40;
constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kPageHeaderHeight = 44;
constexpr double kSettingHeight = 14, kSectionGap = 14;
constexpr double kTableTitleHeight = 24, kColumnHeaderHeight = 18;
// One display pixel is one point: 64 pixels are 22.6 mm, about the real display's size.
constexpr int kDisplaySide = Rom::kUserPictureSize.width; // the floor zone
constexpr double kRowHeight = kDisplaySide + 10;

// Column left edges: HEX, DEC, input pattern, label, display.
constexpr double kColumns[] = {0, 44, 88, 176, 300};

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A zone of the screen as the display shows it: black on white, pixel for pixel.
QImage zoneImage(const Rom::BlackPicture& screen, const Preview::ScreenRect& zone) {
    QImage image(zone.width, zone.height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < zone.height; ++y)
        for (int x = 0; x < zone.width; ++x)
            if (screen.isBlack(zone.x + x, zone.y + y))
                image.setPixel(x, y, 1);
    return image;
}

// What the display shows for one label, and what is wrong with it.
struct Shown {
    QImage image;
    QString problem; // empty when the display shows the whole label
};

class Painter {
public:
    Painter(const Editor::EditorSession& session, const SheetInfo& info)
        : m_session(session), m_info(info), m_p(session.project), m_pieces(session) {
        for (std::size_t t = 0; t < m_labels.size(); ++t)
            for (std::size_t r = 0; r < m_labels[t].size(); ++r)
                m_labels[t][r] = Rom::RomLabel(m_p.codeTables[t][r]);
    }

    std::string pdf() {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setResolution(72);
            writer.setTitle(QStringLiteral("Commissioning sheet ") + latin1(m_info.projectName));
            writer.setCreator(QStringLiteral("Lift LCD Editor"));
            layOut();
            QPainter painter(&writer);
            m_painter = &painter;
            paint(writer);
            painter.end();
            m_painter = nullptr;
        }
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }

private:
    struct Row {
        int table = 0;
        int code = -1; // -1: the table's title and column header
    };
    struct Page {
        std::vector<Row> rows;
    };

    // Pages break between rows; a table that goes on over a page starts it with its title and
    // column header again.
    void layOut() {
        const double bottom = kPageHeight - kMargin;
        const double top = kMargin + kPageHeaderHeight;
        const double settingsHeight =
            kSettingHeight * (static_cast<double>(DescribeSettings(m_p).size()) + 3) + kSectionGap;
        m_pages.assign(1, Page{});
        double y = top + settingsHeight;
        for (int t = 0; t < Editor::kCodeTableCount; ++t) {
            std::vector<int> codes;
            for (int r = 0; r < Editor::kCodeCount; ++r)
                if (!label(t, r).empty())
                    codes.push_back(r);
            if (codes.empty())
                continue;
            const double head = kTableTitleHeight + kColumnHeaderHeight;
            if (y + head + kRowHeight > bottom) {
                m_pages.emplace_back();
                y = top;
            }
            m_pages.back().rows.push_back({t, -1});
            y += head;
            for (int code : codes) {
                if (y + kRowHeight > bottom) {
                    m_pages.emplace_back();
                    m_pages.back().rows.push_back({t, -1});
                    y = top + head;
                }
                m_pages.back().rows.push_back({t, code});
                y += kRowHeight;
            }
            y += kSectionGap;
        }
    }

    void paint(QPdfWriter& writer) {
        for (std::size_t n = 0; n < m_pages.size(); ++n) {
            if (n > 0)
                writer.newPage();
            pageHeader(static_cast<int>(n) + 1);
            double y = kMargin + kPageHeaderHeight;
            if (n == 0)
                y = settings(y);
            const std::vector<Row>& rows = m_pages[n].rows;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                // A title that opens a page after rows of its table says the table goes on.
                const bool continued =
                    i == 0 && n > 0 && m_pages[n - 1].rows.back().table == rows[i].table;
                y = rows[i].code < 0 ? tableHeader(rows[i].table, y, continued)
                                     : codeRow(rows[i].table, rows[i].code, y);
            }
        }
    }

    void setFont(double points, bool bold = false) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(points);
        font.setBold(bold);
        // No ligatures: the sheet's text must read back letter by letter ("fi", not one glyph).
        font.setStyleStrategy(QFont::PreferNoShaping);
        m_painter->setFont(font);
    }

    void text(double x, double y, double width, double height, const QString& s,
              int flags = Qt::AlignLeft | Qt::AlignVCenter) {
        m_painter->drawText(QRectF(kMargin + x, y, width, height), flags, s);
    }

    void pageHeader(int number) {
        const double y = kMargin;
        setFont(14, true);
        text(0, y, kContentWidth, 20, QStringLiteral("Commissioning sheet"));
        setFont(9);
        text(0, y, kContentWidth, 20,
             QStringLiteral("Page %1 of %2").arg(number).arg(m_pages.size()),
             Qt::AlignRight | Qt::AlignVCenter);
        QString line = latin1(m_info.projectName);
        if (!m_info.printedOn.empty())
            line += QStringLiteral("    printed ") + latin1(m_info.printedOn);
        text(0, y + 20, kContentWidth, 14, line);
        m_painter->drawLine(QPointF(kMargin, y + 38), QPointF(kPageWidth - kMargin, y + 38));
    }

    double settings(double y) {
        setFont(11, true);
        text(0, y, kContentWidth, kSettingHeight, QStringLiteral("Settings"));
        y += kSettingHeight;
        setFont(9);
        const Editor::VersionSettings& v = m_session.program.settings.versionSettings;
        const bool gray = Editor::UsesGrayOrder(m_p.versionName);
        std::vector<std::pair<QString, QString>> rows;
        for (const SettingRow& row : DescribeSettings(m_p))
            rows.emplace_back(QString::fromLatin1(row.caption), latin1(row.value));
        rows.emplace_back(QStringLiteral("Version parameters"),
                          QStringLiteral("CFI %1, IFI %2, DISPHV %3, ENCODE %4")
                              .arg(v.cfi)
                              .arg(v.ifi)
                              .arg(v.disphv)
                              .arg(v.encode));
        rows.emplace_back(QStringLiteral("Input pattern"),
                          gray ? QStringLiteral("Gray order") : QStringLiteral("binary"));
        for (const auto& [caption, value] : rows) {
            text(0, y, 150, kSettingHeight, caption + QStringLiteral(":"));
            text(150, y, kContentWidth - 150, kSettingHeight, value);
            y += kSettingHeight;
        }
        return y + kSectionGap;
    }

    double tableHeader(int table, double y, bool continued) {
        setFont(11, true);
        QString title = QStringLiteral("CTBL%1").arg(table);
        if (table == m_p.defaultCodeTable)
            title += QStringLiteral(" (default code table)");
        if (continued)
            title += QStringLiteral(", continued");
        text(0, y, kContentWidth, kTableTitleHeight, title);
        y += kTableTitleHeight;
        setFont(8, true);
        static const char* const captions[] = {"HEX", "DEC", "bit [ 5..0 ]", "Label",
                                               "Display shows"};
        for (std::size_t i = 0; i < 5; ++i)
            text(kColumns[i], y, 120, kColumnHeaderHeight, QString::fromLatin1(captions[i]));
        m_painter->drawLine(QPointF(kMargin, y + kColumnHeaderHeight),
                            QPointF(kPageWidth - kMargin, y + kColumnHeaderHeight));
        return y + kColumnHeaderHeight;
    }

    double codeRow(int table, int code, double y) {
        const std::string& l = label(table, code);
        const double mid = y + kRowHeight / 2 - 8;
        setFont(10);
        text(kColumns[0], mid, 40, 16,
             QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper());
        text(kColumns[1], mid, 40, 16, QString::number(code));
        const std::string pattern =
            Editor::InputPatternLabel(code, Editor::UsesGrayOrder(m_p.versionName));
        text(kColumns[2], mid, 80, 16, pattern.empty() ? QStringLiteral("-") : latin1(pattern));
        setFont(14, true);
        constexpr double labelWidth = kColumns[4] - kColumns[3] - 4;
        text(kColumns[3], mid, labelWidth, 16,
             m_painter->fontMetrics().elidedText(latin1(l), Qt::ElideRight, int(labelWidth)));

        const Shown& shown = show(l);
        const QRectF box(kMargin + kColumns[4], y + 5, kDisplaySide, kDisplaySide);
        m_painter->drawImage(box, shown.image);
        m_painter->setPen(QPen(Qt::gray, 0.5));
        m_painter->drawRect(box);
        m_painter->setPen(QPen(Qt::black));
        if (!shown.problem.isEmpty()) {
            setFont(8);
            text(kColumns[4] + kDisplaySide + 8, y + 5,
                 kContentWidth - kColumns[4] - kDisplaySide - 8, kDisplaySide, shown.problem,
                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
        }
        m_painter->setPen(QPen(Qt::lightGray, 0.5));
        m_painter->drawLine(QPointF(kMargin, y + kRowHeight),
                            QPointF(kPageWidth - kMargin, y + kRowHeight));
        m_painter->setPen(QPen(Qt::black));
        return y + kRowHeight;
    }

    const std::string& label(int table, int code) const {
        return m_labels[static_cast<std::size_t>(table)][static_cast<std::size_t>(code)];
    }

    // The floor zone of the display for a label, as the display preview composes it from
    // the project by MAKE ROM's rules; made once per label (a PDF also keeps one copy of an
    // image drawn many times).
    const Shown& show(const std::string& label) {
        const auto found = m_shown.find(label);
        if (found != m_shown.end())
            return found->second;
        Preview::ScreenState state;
        state.label = label;
        const Preview::ScreenPreview preview = Preview::PreviewScreen(m_pieces, state);
        Shown shown{zoneImage(preview.screen, Preview::ZonesOf(m_p.messagePosition).floor), {}};
        for (const std::string& problem : preview.problems)
            shown.problem +=
                (shown.problem.isEmpty() ? QString() : QStringLiteral("; ")) + latin1(problem);
        return m_shown.emplace(label, std::move(shown)).first->second;
    }

    const Editor::EditorSession& m_session;
    const SheetInfo& m_info;
    const Editor::DisplayProject& m_p;
    QPainter* m_painter = nullptr;
    std::vector<Page> m_pages;
    std::array<std::array<std::string, Editor::kCodeCount>, Editor::kCodeTableCount> m_labels;
    Preview::ProjectPieces m_pieces;
    std::map<std::string, Shown> m_shown;
};

} // namespace

std::string CommissioningSheetPdf(const Editor::EditorSession& session, const SheetInfo& info,
                                  std::string& error) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        error = "the sheet needs a QGuiApplication for its fonts";
        return {};
    }
    return Painter(session, info).pdf();
}

bool WriteCommissioningSheet(const Editor::EditorSession& session, const SheetInfo& info,
                             const std::string& path, std::string& error) {
    const std::string pdf = CommissioningSheetPdf(session, info, error);
    if (pdf.empty())
        return false;
    return Util::WriteFileAtomically(path, pdf, &error);
}

} // namespace Lift::Commissioning
