// Saves a picture of the X screen, or of one window, as PNG: the real-display
// tests keep these as artefacts. A window is read from the window itself, so
// that its picture is there under a rootless X server too (XWayland).
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

int main(int argc, char *argv[])
{
    xcb_connection_t *x = xcb_connect(nullptr, nullptr);
    if (argc < 2 || xcb_connection_has_error(x)) {
        std::fprintf(stderr, "usage: x11shot OUT.png [WINDOW-ID], with an X display\n");
        return 2;
    }
    const xcb_window_t window = argc > 2 ? xcb_window_t(std::strtoul(argv[2], nullptr, 0))
                                         : xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    auto *size = xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr);
    auto *image = size ? xcb_get_image_reply(x,
                                             xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                                                           0, size->width, size->height, ~0u),
                                             nullptr)
                       : nullptr;
    if (image && QImage(xcb_get_image_data(image), size->width, size->height, QImage::Format_RGB32)
                     .save(QString::fromLocal8Bit(argv[1]), "PNG"))
        return 0;
    std::fprintf(stderr, "x11shot: could not save %s\n", argv[1]);
    return 1;
}
