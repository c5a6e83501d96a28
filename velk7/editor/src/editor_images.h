#pragma once
// The editor's pictures, drawn by the program at the screen's pixel density: the word
// images of the seven kinds of code line, the two drag marks, and the program's icon.
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <array>

#include "drag_controller.h"
#include "velk7/rcode/code_lines.h"

class QFont;

namespace velk7 {

inline constexpr QSize kImageSize{25, 15};
// The point of a drag picture that sits under the pointer.
inline constexpr int kDragHotSpot = 8;

// A kind's word in magenta inside a one-pixel light-grey frame, on a transparent ground.
QPixmap kindImage(LineKind kind, qreal devicePixelRatio);
std::array<QIcon, kLineKindCount> makeKindImages(qreal devicePixelRatio);

// The red "del" box (DeleteMark) and the yellow "???" box (NoDropMark); an empty pixmap
// for ItemImage, which is the dragged item's own picture.
QPixmap dragMark(DragPicture mark, qreal devicePixelRatio);

// The picture of a dragged list item: its small image followed by its label.
QPixmap itemDragImage(const QIcon& icon, const QString& label, const QFont& font,
                      qreal devicePixelRatio);

// Icon 128: the dialog's icon in the sizes a window manager asks for.
QIcon programIcon();
QPixmap programIconPixmap(int size, qreal devicePixelRatio);

}  // namespace velk7
