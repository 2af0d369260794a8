// ResultPrinter: the result list on paper, page by page, with its footer.
#include "shell/ResultPrinter.h"

#include <QDate>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QTime>
#include <algorithm>
#include <cmath>

#include "shell/File_ListView.h"
#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"
#include "shell/ResultListModel.h"

namespace {
constexpr unsigned kFooterText = 130;
}  // namespace

ResultPrinter::Layout ResultPrinter::layoutFor(const QRectF& page, int rowWidth, int rowHeight, double footerHeight,
                                               int rows)
{
    Layout l;
    if (rowWidth <= 0 || rowHeight <= 0 || page.width() <= 0)
        return l;
    l.scale = page.width() / rowWidth;
    const double room = std::max(0.0, page.height() - footerHeight);
    l.rowsPerPage = std::max(1, int(std::floor(room / (rowHeight * l.scale))));
    l.pages = rows <= 0 ? 0 : (rows + l.rowsPerPage - 1) / l.rowsPerPage;
    return l;
}

bool ResultPrinter::print(QPrinter& printer, File_ListView& view)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    ResultListModel& model = view.resultModel();
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution()).translated(
        -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
    QFont footerFont = view.font();
    footerFont.setItalic(true);
    painter.setFont(footerFont);
    const QFontMetricsF footerMetrics(footerFont, &printer);
    const double footerHeight = footerMetrics.height() * 2;
    const int rows = model.rowCount();
    const Layout l = layoutFor(page, view.rowWidth(), view.rowHeight(), footerHeight, rows);
    const QString stamp = QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat) + u' '
                          + QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    const QString right = LanguageFormat::format(LanguageText::plain(kFooterText), {qint64(rows), l.rowsPerPage});
    for (int p = 0; p < std::max(l.pages, 1); ++p) {
        if (p > 0)
            printer.newPage();
        painter.save();
        painter.scale(l.scale, l.scale);
        for (int k = 0; k < l.rowsPerPage; ++k) {
            const int row = p * l.rowsPerPage + k;
            if (row >= rows)
                break;
            view.renderRow(&painter, row, QPoint(0, k * view.rowHeight()));
        }
        painter.restore();
        const double lineY = page.bottom() - footerHeight + footerMetrics.height() * 0.5;
        painter.setPen(Qt::black);
        painter.setFont(footerFont);
        painter.drawLine(QPointF(page.left(), lineY), QPointF(page.right(), lineY));
        const QRectF text(page.left(), lineY + 2, page.width(), footerMetrics.height());
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, stamp);
        painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, right);
    }
    return painter.end();
}
