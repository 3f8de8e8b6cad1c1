#pragma once

#include <QByteArrayView>
#include <QPainterPath>
#include <QRectF>
#include <QRgb>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/picture/Turn.h"

namespace tallyline {

class PdfGlyphs;
class PendingFile;
class VectorCanvas;

// A PDF document of pages of shapes, written to its file page by page so
// that its memory stays the same however many pages it has. The file stays
// pending, with no name, in the folder it is for until it is ended and read
// back whole; then it takes its name, or is handed over as a print job is.
// Dropped before that, it leaves nothing behind. Every step throws FileError
// naming the file and the reason; after a failed write every later one
// fails the same way.
class PdfDocument {
public:
    // A document that is to become the file at path; the title is what a
    // reader or a printer's queue shows for it.
    PdfDocument(const QString& path, const QString& title);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Starts a page of paper of that size in points. What is drawn on it is
    // in dots, that many to the inch, from the paper's top-left corner.
    void StartPage(QSizeF points, int dotsPerInch);
    void Fill(const QRectF& area, QRgb colour);
    // Draws the picture with its top-left corner at the place's, each of its
    // pixels dotsPerPixel dots across, turned as asked, cut at the place's
    // edges: boxes as rectangles, texts as text in the very glyphs they were
    // laid out in.
    void Picture(const QRectF& place, const VectorCanvas& picture, double dotsPerPixel, Turn turn = Turn::None);
    // Strokes the path, in dots, in black as thin as the device draws a line.
    void Outline(const QPainterPath& dots);

    // Ends the document and reads it back: FileError when a write failed or
    // what was read back is not the whole document of all its pages.
    void End();
    // After End, flushes the file to the disk and gives it its name in place
    // of any old file, whose permissions it keeps.
    void TakeName();
    // After End, hands the file's bytes over in order, a piece at a time.
    void Read(const std::function<void(QByteArrayView)>& take) const;

private:
    class PageWriter;

    // Objects by number: what follows this point is written as it comes.
    int Object(std::string_view entries, std::string_view stream);
    void Write(int number, std::string_view entries, std::string_view stream);
    int Reserve();
    void EndPage();
    void EndNode();
    void Put(PendingFile& file, const std::string& bytes);
    void FlushCrossReferences();
    void Flush();
    std::uint64_t Offset() const { return written_ + buffer_.size(); }

    std::string path_;
    std::unique_ptr<PendingFile> file_;
    // The cross-reference table's entries for the objects after the fixed
    // ones, a side file of their own until the table is written.
    std::unique_ptr<PendingFile> crossReferences_;
    std::unique_ptr<PdfGlyphs> glyphs_;
    std::unique_ptr<PageWriter> writer_;
    QString title_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    // Entries from object firstHeld_ on, not yet in the side file.
    std::string held_;
    int firstHeld_;
    int next_;
    std::vector<std::uint64_t> fixed_;
    std::string page_;
    // The size of the last page started, and what it starts with.
    QSizeF pagePoints_;
    int pageDotsPerInch_ = 0;
    std::string pageStart_;
    std::string mediaBox_;
    // Where the last picture stood, and what its drawing starts with.
    QRectF picturePlace_;
    double pictureDotsPerPixel_ = 0;
    Turn pictureTurn_ = Turn::None;
    std::string pictureStart_;
    std::int64_t pages_ = 0;
    // The node of the page tree that takes the pages now, and its pages.
    int node_ = 0;
    std::vector<int> kids_;
    std::vector<int> nodes_;
    std::exception_ptr failure_;
};

}  // namespace tallyline
