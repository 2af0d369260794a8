#pragma once
// Prints the result list with the view's own row drawing, scaled so that the list's row
// width fills the page width; each page holds a fixed number of rows. Under a line across
// the page a footer in an italic copy of the list's font shows the local long date and the
// time (HH:mm:ss) at the left and language string 130 (row count, rows per page) at the
// right. User-interface thread; the view must outlive the call.
#include <QRectF>

class File_ListView;
class QPrinter;

class ResultPrinter {
public:
    struct Layout {
        double scale = 1;     // list pixels -> device pixels
        int rowsPerPage = 1;  // at least 1
        int pages = 0;        // 0 for an empty list
    };
    // The layout of `rows` rows of `rowWidth` x `rowHeight` list pixels on a page whose
    // printable area is `page` (device pixels), `footerHeight` device pixels kept for the
    // footer.
    static Layout layoutFor(const QRectF& page, int rowWidth, int rowHeight, double footerHeight, int rows);
    // Prints every row of the view on `printer`. False when the printer could not be
    // started (the painter failed to begin).
    static bool print(QPrinter& printer, File_ListView& view);
};
