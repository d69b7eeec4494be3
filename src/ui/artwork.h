#pragma once

#include <QIcon>
#include <QPixmap>

// The clock panel's pictures, drawn from vector sources so that they are sharp
// at any scale factor.
namespace Artwork {
// The whole 110 x 32 panel face without the right-hand frame.
QPixmap panelBackground(qreal devicePixelRatio);
// One 34 x 32 frame of the right-hand panel: the exit button in its frame
// `exitFrame` and the move handle in its frame `moveFrame` (0 to 2, 1 at rest).
QPixmap rightPanelFrame(int exitFrame, int moveFrame, qreal devicePixelRatio);
QIcon programIcon();
} // namespace Artwork
