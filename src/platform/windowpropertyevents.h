#pragma once

class QWindow;

// The clock panel changes its title every second. On X11 each change comes back
// to the program as property events (its own two title properties, then the
// window manager's visible name), waking it four to five more times a second for
// nothing: the panel has no frame and the program never asks for its window
// state. This stops the window from receiving property events; every other
// event still arrives. Call it after the native window exists and before it is
// mapped. Elsewhere than on X11 it does nothing.
void stopPropertyEvents(QWindow &window);
