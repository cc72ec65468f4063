// Writes the program's icon as kelvora_<size>.png into a folder, from the
// same drawing the running program shows, so the desktop's icon and the
// window's icon cannot drift apart.
// Usage: kelvora_write_icons <folder> <size>...

#include "widgets/pictures.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <charconv>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <size>...\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const char* const end = argv[i] + std::strlen(argv[i]);
        int size = 0;
        const auto [rest, error] = std::from_chars(argv[i], end, size);
        if (error != std::errc() || rest != end || size <= 0) {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }
        const QString path = folder.filePath(QStringLiteral("kelvora_%1.png").arg(size));
        if (!kelvora::programIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
