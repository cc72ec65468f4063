// SPDX-License-Identifier: MIT
// Writes the program's icon from the same corners the running program draws,
// so the desktop's icons, the Windows programs' icon and the window's icon
// cannot drift apart: either as kelvora_<size>.png into a folder, with the
// scalable kelvora.svg at the largest size beside them, or as one Windows
// icon file holding every size.
// Usage: kelvora_write_icons <folder> <size>...
//        kelvora_write_icons --ico <file.ico> <size>...

#include "widgets/pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// The sizes an icon file entry can say in its one byte; 0 there means 256.
constexpr int kLargestIconSize = 256;
// From this size on an entry is stored as PNG, as Windows expects of its
// large icons; the smaller ones as the bitmaps every reader knows.
constexpr int kSmallestPngEntry = 256;
constexpr int kIconDirectorySize = 6;
constexpr int kIconEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;
constexpr std::uint16_t kBitsPerPixel = 32;

std::optional<int> parseSize(const char* text) {
    const char* const end = text + std::strlen(text);
    int size = 0;
    const auto [rest, error] = std::from_chars(text, end, size);
    if (error != std::errc() || rest != end || size <= 0) {
        return std::nullopt;
    }
    return size;
}

void appendLe(QByteArray& data, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        data.append(static_cast<char>((value >> (8 * i)) & 0xffu));
    }
}

// A 32-bit bitmap as an icon holds it: the header says twice the height, for
// the colour rows bottom-up and then the transparency mask, which is left
// clear because the alpha channel says it already.
QByteArray bitmapEntry(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskRowBytes = (size + 31) / 32 * 4;
    QByteArray data;
    appendLe(data, kBitmapHeaderSize, 4);
    appendLe(data, static_cast<std::uint32_t>(size), 4);
    appendLe(data, static_cast<std::uint32_t>(2 * size), 4);
    appendLe(data, 1, 2); // planes
    appendLe(data, kBitsPerPixel, 2);
    appendLe(data, 0, 4); // BI_RGB: not compressed
    appendLe(data, static_cast<std::uint32_t>(size * size * 4 + size * maskRowBytes), 4);
    appendLe(data, 0, 16); // resolution and palette: none
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            appendLe(data, image.pixel(x, y), 4); // blue, green, red, alpha
        }
    }
    data.append(QByteArray(size * maskRowBytes, '\0'));
    return data;
}

QByteArray pngEntry(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

bool writeIconFile(const QString& path, const std::vector<int>& sizes) {
    std::vector<QByteArray> entries;
    for (const int size : sizes) {
        const QImage image = kelvora::programIconImage(size);
        entries.push_back(size >= kSmallestPngEntry ? pngEntry(image) : bitmapEntry(image));
    }
    QByteArray file;
    appendLe(file, 0, 2); // reserved
    appendLe(file, 1, 2); // an icon, not a cursor
    appendLe(file, static_cast<std::uint32_t>(sizes.size()), 2);
    std::uint32_t offset = kIconDirectorySize + kIconEntrySize * sizes.size();
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::uint32_t side = sizes[i] == kLargestIconSize ? 0 : sizes[i];
        appendLe(file, side, 1);
        appendLe(file, side, 1);
        appendLe(file, 0, 2); // no palette, reserved
        appendLe(file, 1, 2); // planes
        appendLe(file, kBitsPerPixel, 2);
        appendLe(file, static_cast<std::uint32_t>(entries[i].size()), 4);
        appendLe(file, offset, 4);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const QByteArray& entry : entries) {
        file.append(entry);
    }
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size() && out.flush();
}

// The blend of three corners has no SVG form; two gradients come close at
// any size: the base's two colours along the base, under the apex's colour
// fading out from the apex down to the base.
// clang-format off
constexpr char kScalableIcon[] = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="%1" viewBox="0 0 %1 %1">
  <defs>
    <linearGradient id="base" gradientUnits="userSpaceOnUse" x1="%2" y1="0" x2="%3" y2="0">
      <stop offset="0" stop-color="%4"/>
      <stop offset="1" stop-color="%5"/>
    </linearGradient>
    <linearGradient id="apex" gradientUnits="userSpaceOnUse" x1="0" y1="%6" x2="0" y2="%7">
      <stop offset="0" stop-color="%8" stop-opacity="1"/>
      <stop offset="1" stop-color="%8" stop-opacity="0"/>
    </linearGradient>
  </defs>
  <path d="%9" fill="url(#base)"/>
  <path d="%9" fill="url(#apex)"/>
</svg>
)svg";
// clang-format on

QByteArray scalableIcon(int size) {
    const auto [apex, left, right] = kelvora::programIconCorners(size);
    const auto number = [](double value) { return QString::number(value, 'g', 6); };
    const auto point = [&](const QPointF& at) { return number(at.x()) + u' ' + number(at.y()); };
    const QString shape =
        QStringLiteral("M %1 L %2 L %3 Z").arg(point(apex.at), point(left.at), point(right.at));
    return QString::fromLatin1(kScalableIcon)
        .arg(number(size), number(left.at.x()), number(right.at.x()), left.colour.name(),
             right.colour.name(), number(apex.at.y()), number(left.at.y()), apex.colour.name(),
             shape)
        .toUtf8();
}

} // namespace

int main(int argc, char* argv[]) {
    const bool iconFile = argc > 1 && std::strcmp(argv[1], "--ico") == 0;
    const int firstSize = iconFile ? 3 : 2;
    if (argc <= firstSize) {
        std::fprintf(stderr, "usage: %s <folder> <size>...\n       %s --ico <file> <size>...\n",
                     argv[0], argv[0]);
        return 2;
    }
    std::vector<int> sizes;
    for (int i = firstSize; i < argc; ++i) {
        const std::optional<int> size = parseSize(argv[i]);
        if (!size || (iconFile && *size > kLargestIconSize)) {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }
        sizes.push_back(*size);
    }
    const QString target = QString::fromLocal8Bit(argv[firstSize - 1]);
    if (iconFile) {
        if (!writeIconFile(target, sizes)) {
            std::fprintf(stderr, "cannot write %s\n", argv[firstSize - 1]);
            return 1;
        }
        return 0;
    }
    const QDir folder(target);
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (const int size : sizes) {
        const QString path = folder.filePath(QStringLiteral("kelvora_%1.png").arg(size));
        if (!kelvora::programIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    QFile scalable(folder.filePath(QStringLiteral("kelvora.svg")));
    const QByteArray svg = scalableIcon(*std::max_element(sizes.begin(), sizes.end()));
    if (!scalable.open(QIODevice::WriteOnly) || scalable.write(svg) != svg.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(scalable.fileName()));
        return 1;
    }
    return 0;
}
