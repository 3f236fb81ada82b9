// Renders the program's icon drawing (SVG) to a square PNG, transparent outside the
// drawing, so that every bitmap size comes from the one drawing.
//
//   trelvan_render_icon IN.svg OUT.png SIZE
#include <cstdio>
#include <cstdlib>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: trelvan_render_icon IN.svg OUT.png SIZE\n", stderr);
        return 2;
    }
    char* end = nullptr;
    const long size = std::strtol(argv[3], &end, 10);
    if (*argv[3] == '\0' || *end != '\0' || size < 1 || size > 4096) {
        std::fprintf(stderr, "trelvan_render_icon: SIZE must be a whole number of pixels from 1 to 4096, not '%s'\n",
                     argv[3]);
        return 2;
    }
    QSvgRenderer drawing(QString::fromLocal8Bit(argv[1]));
    if (!drawing.isValid()) {
        std::fprintf(stderr, "trelvan_render_icon: cannot read the drawing %s\n", argv[1]);
        return 1;
    }
    drawing.setAspectRatioMode(Qt::KeepAspectRatio);
    const int pixels = static_cast<int>(size);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "trelvan_render_icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
