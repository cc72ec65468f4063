// SPDX-License-Identifier: MIT
#include "widgets/pictures.h"

#include <QPainter>
#include <QWidget>
#include <QtMath>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kelvora {

namespace {

// A fixed pseudo-random sequence, so the texture looks the same every start.
class Streaks {
public:
    int next(int bound) {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<int>((m_state >> 16) % static_cast<std::uint32_t>(bound));
    }

private:
    std::uint32_t m_state = 20260;
};

// Horizontal streaks whose grey drifts slowly along a row: brushed metal.
// The levels are spread evenly from `lowest` to `highest`, both included,
// each rounded to the nearest grey.
QImage brushed(int width, int height, int lowest, int highest, int levels) {
    QImage image(width, height, QImage::Format_RGB32);
    Streaks random;
    std::vector<int> greys(static_cast<std::size_t>(levels));
    for (int level = 0; level < levels; ++level) {
        greys[static_cast<std::size_t>(level)] =
            lowest + (2 * level * (highest - lowest) + levels - 1) / (2 * (levels - 1));
    }
    for (int y = 0; y < height; ++y) {
        int level = levels / 2 + random.next(levels / 2) - levels / 4;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (random.next(12) == 0) {
                level = std::clamp(level + random.next(3) - 1, 0, levels - 1);
            }
            const int grey = greys[static_cast<std::size_t>(level)];
            row[x] = qRgb(grey, grey, grey);
        }
    }
    return image;
}

QImage triangle(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const auto [apexCorner, leftCorner, rightCorner] = programIconCorners(size);
    const QPointF apex = apexCorner.at, left = leftCorner.at, right = rightCorner.at;
    const QColor purple = apexCorner.colour, green = leftCorner.colour, yellow = rightCorner.colour;
    const double area = (left.x() - apex.x()) * (right.y() - apex.y()) -
                        (right.x() - apex.x()) * (left.y() - apex.y());
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QPointF p(x + 0.5, y + 0.5);
            // Barycentric weights of the apex and the two base corners.
            const double wLeft = ((p.x() - apex.x()) * (right.y() - apex.y()) -
                                  (right.x() - apex.x()) * (p.y() - apex.y())) /
                                 area;
            const double wRight = ((left.x() - apex.x()) * (p.y() - apex.y()) -
                                   (p.x() - apex.x()) * (left.y() - apex.y())) /
                                  area;
            const double wApex = 1.0 - wLeft - wRight;
            // A little slack keeps rounding from punching holes along the edges.
            constexpr double edge = -1e-9;
            if (wLeft < edge || wRight < edge || wApex < edge) {
                continue;
            }
            const auto mix = [&](int a, int b, int c) {
                return static_cast<int>(wApex * a + wLeft * b + wRight * c);
            };
            image.setPixel(x, y,
                           qRgb(mix(purple.red(), green.red(), yellow.red()),
                                mix(purple.green(), green.green(), yellow.green()),
                                mix(purple.blue(), green.blue(), yellow.blue())));
        }
    }
    return image;
}

// Each texture pixel becomes a block of scale × scale device pixels, so the
// texture stays sharp on dense screens rather than being smoothed.
QImage sharpened(QImage image, int scale) {
    if (scale > 1) {
        image = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        image.setDevicePixelRatio(scale);
    }
    return image;
}

} // namespace

QImage mainBackground(int scale) {
    return sharpened(brushed(479, 142, 208, 249, 16), scale);
}

QImage stripBackground(int scale) {
    return sharpened(brushed(287, 49, 180, 238, 16), scale);
}

void paintGround(QWidget& widget, QImage& ground, QImage (*make)(int scale)) {
    const int scale = qCeil(widget.devicePixelRatioF());
    if (ground.devicePixelRatio() != scale) {
        ground = make(scale);
    }
    QPainter painter(&widget);
    painter.drawImage(0, 0, ground);
}

std::array<IconCorner, 3> programIconCorners(int size) {
    return {{{QPointF(size / 2.0, 0.5), QColor(128, 0, 160)},
             {QPointF(0.5, size - 0.5), QColor(0, 176, 0)},
             {QPointF(size - 0.5, size - 0.5), QColor(255, 230, 0)}}};
}

QIcon programIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(triangle(16)));
    icon.addPixmap(QPixmap::fromImage(triangle(32)));
    return icon;
}

QImage programIconImage(int size) {
    return triangle(size);
}

QImage colorsButtonPicture(int scale) {
    QImage image(kColorsButtonPictureSize * scale, kColorsButtonPictureSize * scale,
                 QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    // Columns 2-17 and rows 3-16: an outline around three equal stripes.
    const QColor stripes[] = {QColor(197, 45, 0), QColor(47, 255, 0), QColor(15, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        painter.fillRect(3 + i * 5, 4, 4, 12, stripes[i]);
    }
    painter.setPen(Qt::black);
    painter.drawRect(2, 3, 15, 13);
    painter.drawLine(7, 3, 7, 16);
    painter.drawLine(12, 3, 12, 16);
    return image;
}

QIcon colorsButtonIcon() {
    QIcon icon;
    for (const int scale : {1, 2}) {
        icon.addPixmap(QPixmap::fromImage(colorsButtonPicture(scale)));
    }
    return icon;
}

} // namespace kelvora
