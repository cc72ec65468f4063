// SPDX-License-Identifier: MIT
// The icon files the desktop shows: the pixel sizes are the program's own
// drawing, and the hand-drawn scalable icon keeps to its colours.

#include "widgets/pictures.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace kelvora;

namespace {

QString pngPath(int size) {
    return QStringLiteral(KELVORA_ICON_DIR "/kelvora_%1.png").arg(size);
}

QImage argb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

TEST(IconFiles, EachPixelSizeIsTheProgramsDrawing) {
    for (const int size : {16, 32, 48}) {
        const QImage file(pngPath(size));
        ASSERT_FALSE(file.isNull()) << pngPath(size).toStdString();
        EXPECT_EQ(file.size(), QSize(size, size)) << size;
        EXPECT_TRUE(file.hasAlphaChannel()) << size;
        EXPECT_EQ(argb(file), argb(programIconImage(size))) << size;
    }
}

TEST(IconFiles, TheWindowIconIsTheSameDrawing) {
    const QIcon icon = programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    ASSERT_EQ(sizes.size(), 2);
    for (const QSize size : sizes) {
        EXPECT_EQ(argb(icon.pixmap(size).toImage()), argb(programIconImage(size.width())))
            << size.width();
    }
}

// Where the drawing is plainly inside or outside the triangle, at any size.
TEST(IconFiles, TheDrawingIsAShadedTriangle) {
    struct Spot {
        const char* where;
        double x, y; // fractions of the size
        bool opaque;
        QColor colour; // the corner's own colour, where it is near one
    };
    const Spot spots[] = {
        {"top left, beside the apex", 0.05, 0.05, false, {}},
        {"top right, beside the apex", 0.95, 0.05, false, {}},
        {"just below the apex", 0.5, 0.08, true, QColor(128, 0, 160)},
        {"near the left base corner", 0.1, 0.93, true, QColor(0, 176, 0)},
        {"near the right base corner", 0.9, 0.93, true, QColor(255, 230, 0)},
        {"middle", 0.5, 0.6, true, {}},
    };
    for (const int size : {48, 256}) {
        const QImage image = programIconImage(size);
        for (const Spot& spot : spots) {
            const QColor pixel =
                image.pixelColor(static_cast<int>(spot.x * size), static_cast<int>(spot.y * size));
            EXPECT_EQ(pixel.alpha(), spot.opaque ? 255 : 0) << spot.where << " at " << size;
            if (spot.colour.isValid()) {
                EXPECT_TRUE(near(pixel, spot.colour, 40))
                    << spot.where << " at " << size << ": " << pixel.name().toStdString();
            }
        }
    }
}

TEST(IconFiles, TheScalableIconIsAnSvgInTheDrawingsColours) {
    QFile file(QStringLiteral(KELVORA_SVG_ICON));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList stopColours;
    bool rootSeen = false;
    int shapes = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!rootSeen) {
            rootSeen = true;
            EXPECT_EQ(xml.name(), QStringLiteral("svg"));
            EXPECT_EQ(xml.namespaceUri(), QStringLiteral("http://www.w3.org/2000/svg"));
            EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")),
                      QStringLiteral("0 0 48 48"));
        }
        if (xml.name() == QStringLiteral("stop"))
            stopColours << xml.attributes().value(QStringLiteral("stop-color")).toString();
        if (xml.name() == QStringLiteral("path"))
            ++shapes;
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    EXPECT_TRUE(rootSeen);
    EXPECT_GE(shapes, 1);

    // The three corner colours of the drawing, read at its corners.
    const QImage drawing = programIconImage(256);
    const QColor corners[] = {drawing.pixelColor(128, 2), drawing.pixelColor(2, 254),
                              drawing.pixelColor(253, 254)};
    for (const QColor corner : corners) {
        const bool inSvg =
            std::any_of(stopColours.cbegin(), stopColours.cend(),
                        [&](const QString& c) { return near(QColor(c), corner, 8); });
        EXPECT_TRUE(inSvg) << "corner colour " << corner.name().toStdString() << " not among "
                           << stopColours.join(QLatin1Char(' ')).toStdString();
    }
}
