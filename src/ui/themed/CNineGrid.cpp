#include "ui/themed/CNineGrid.h"

#include "win/CDC.h"
#include "win/CScopedSelect.h"

namespace {

// One axis of the grid: where each of the three bands starts and how long
// it is.
struct Bands {
    int start[3];
    int length[3];
};

int NotNegative(int value) { return value < 0 ? 0 : value; }

Bands Split(int low, int high, int lowBorder, int highBorder)
{
    const int middle = high - low - lowBorder - highBorder;
    return Bands{{low, low + lowBorder, high - highBorder},
                 {NotNegative(lowBorder), NotNegative(middle), NotNegative(highBorder)}};
}

}  // namespace

std::array<CNineGrid::Piece, 9> CNineGrid::Pieces(const RECT& dest, const RECT& source,
                                                  const RECT& borders)
{
    const Bands columns = Split(dest.left, dest.right, borders.left, borders.right);
    const Bands rows = Split(dest.top, dest.bottom, borders.top, borders.bottom);
    const Bands srcColumns = Split(source.left, source.right, borders.left, borders.right);
    const Bands srcRows = Split(source.top, source.bottom, borders.top, borders.bottom);
    std::array<Piece, 9> pieces{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            pieces[row * 3 + column] =
                Piece{columns.start[column], rows.start[row],
                      columns.length[column], rows.length[row],
                      srcColumns.start[column], srcRows.start[row],
                      srcColumns.length[column], srcRows.length[row]};
        }
    }
    return pieces;
}

void CNineGrid::Draw(HDC dest, const RECT& destRect, HDC source, const RECT& sourceRect,
                     BYTE alpha, const RECT& borders)
{
    CDCHandle target(dest);
    // AlphaBlend refuses empty pieces, so they are skipped rather than failed.
    for (const Piece& piece : Pieces(destRect, sourceRect, borders))
        target.AlphaBlend(piece.x, piece.y, piece.width, piece.height, source, piece.srcX,
                          piece.srcY, piece.srcWidth, piece.srcHeight, alpha);
}

void CNineGrid::DrawImage(HDC dest, const RECT& destRect, HBITMAP image, const RECT& sourceRect,
                          BYTE alpha, const RECT& borders)
{
    if (!dest || !image)
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(dest))
        return;
    CScopedSelect select(memory, image);
    if (select.Selected())
        Draw(dest, destRect, memory, sourceRect, alpha, borders);
}
