#include "settings/conversions.h"
#include "settings/ini_settings_store.h"
#include "settings/settings_keys.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace kelvora;

TEST(KeyTable, HoldsTwentyOneUniqueKeysInEnumOrder) {
    QSet<QString> names;
    for (std::size_t i = 0; i < kKeyTable.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(kKeyTable[i].key), i);
        names.insert(QString::fromLatin1(kKeyTable[i].section) + u'/' + kKeyTable[i].name);
    }
    EXPECT_EQ(names.size(), 21);
    // Letter case is part of the name: "interval" is lower case beside "HDDNumber".
    EXPECT_STREQ(definitionOf(Key::Interval).name, "interval");
    EXPECT_STREQ(definitionOf(Key::HDDNumber).name, "HDDNumber");
    EXPECT_STREQ(definitionOf(Key::Dysk).section, "Ustawienia");
    EXPECT_STREQ(definitionOf(Key::Alpha).section, "Kolory");
    EXPECT_STREQ(definitionOf(Key::Top).section, "Pozycja");
}

TEST(KeyTable, EveryDefaultConvertsToItsKeysType) {
    for (const KeyDefinition& definition : kKeyTable) {
        if (definition.key == Key::HDDFormat || definition.key == Key::RAMFormat)
            continue;
        EXPECT_TRUE(parseNumber(definition.defaultText).has_value()) << definition.name;
    }
    EXPECT_EQ(toInt32(definitionOf(Key::HDDNumber).defaultText), 1073741824);
    EXPECT_EQ(toByte(definitionOf(Key::Alpha).defaultText), 255);
}

struct Int16Case {
    const char* text;
    std::optional<std::int16_t> expected;
};

TEST(Conversions, Int16IsStrict) {
    const Int16Case cases[] = {
        {"0", 0},         {"6", 6},       {"-1", -1},   {"32767", 32767}, {"-32768", -32768},
        {"32768", {}},    {"-32769", {}}, {"", {}},     {"abc", {}},      {"12abc", {}},
        {"1 2", {}},      {" 7 ", 7},     {"2.5", 2},   {"3.5", 4},       {"1e2", 100},
        {"inf", {}},      {"nan", {}},    {"0x10", {}}, {"+5", {}},       {"--1", {}},
        {"\xff\xfe", {}}, {"1,5", {}},    {"٣", {}},    {"1e400", {}},
    };
    for (const Int16Case& c : cases)
        EXPECT_EQ(toInt16(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Conversions, OtherTypesCheckTheirRanges) {
    EXPECT_EQ(toByte("255"), 255);
    EXPECT_EQ(toByte("300"), std::nullopt);
    EXPECT_EQ(toByte("-1"), std::nullopt);
    EXPECT_EQ(toByte("64"), 64);
    EXPECT_EQ(toInt32("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(toInt32("2147483648"), std::nullopt);
    EXPECT_EQ(toSingle("1500"), 1500.0f);
    EXPECT_EQ(toSingle("-45.25"), -45.25f);
    EXPECT_EQ(toSingle("1e39"), std::nullopt);
    EXPECT_EQ(toSingle("12px"), std::nullopt);
}

TEST(Conversions, SingleTextReadsBackToTheSameValue) {
    for (const float value : {0.0f, 1500.0f, -3000.0f, 1507.5f, 0.1f, 123456.78f, -0.375f}) {
        const std::string text = singleToText(value);
        EXPECT_EQ(toSingle(text), value) << text;
    }
    EXPECT_EQ(singleToText(1500.0f), "1500");
    EXPECT_EQ(singleToText(-45.0f), "-45");
}

class IniStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const char* title) const {
        return m_dir.filePath(QString::fromLatin1(title) + QStringLiteral(".ini"));
    }
    void write(const QString& file, const QByteArray& content) const {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(content);
    }
    QByteArray contents(const QString& file) const {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    QTemporaryDir m_dir;
};

TEST_F(IniStore, EveryStoredFormRoundTripsThroughTheFile) {
    const QStringList forms = {
        QStringLiteral("0"),
        QStringLiteral("-1"),
        QStringLiteral("1507.5"),
        QStringLiteral("1073741824"),
        QStringLiteral("### ### ### ##0 B"),
        QStringLiteral("### ### ##0 KB"),
        QStringLiteral("### ##0.00 MB"),
        QStringLiteral("0.00 GB"),
        QStringLiteral("0.00 MB"),
    };
    {
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        EXPECT_EQ(store.fileName(), path("Monitor"));
        for (int i = 0; i < forms.size(); ++i)
            store.save(QStringLiteral("Ustawienia"), QStringLiteral("K%1").arg(i), forms[i]);
        store.flush();
    }
    IniSettingsStore reopened(m_dir.path(), QStringLiteral("Monitor"));
    for (int i = 0; i < forms.size(); ++i)
        EXPECT_EQ(reopened.get(QStringLiteral("Ustawienia"), QStringLiteral("K%1").arg(i), {}),
                  forms[i]);
    EXPECT_EQ(reopened.get(QStringLiteral("Ustawienia"), QStringLiteral("missing"),
                           QStringLiteral("222")),
              QStringLiteral("222"));
    // Key case is kept and compared exactly.
    EXPECT_EQ(reopened.get(QStringLiteral("Ustawienia"), QStringLiteral("k0"), QStringLiteral("x")),
              QStringLiteral("x"));
}

TEST_F(IniStore, DeleteAllEmptiesOnlyItsOwnProgram) {
    IniSettingsStore english(m_dir.path(), QStringLiteral("Monitor"));
    IniSettingsStore polish(m_dir.path(), QStringLiteral("Kelvora"));
    english.save(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("10"));
    polish.save(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("20"));
    english.flush();
    polish.flush();
    english.deleteAll();
    EXPECT_EQ(english.get(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("d")),
              QStringLiteral("d"));
    IniSettingsStore polishAgain(m_dir.path(), QStringLiteral("Kelvora"));
    EXPECT_EQ(polishAgain.get(QStringLiteral("Kolory"), QStringLiteral("R1"), {}),
              QStringLiteral("20"));
}

TEST_F(IniStore, GarbageFilesReadAsDefaults) {
    const QByteArray junk[] = {
        QByteArray("[Ustawienia\ninterval=\x01\x02\x03\n=\n[[[\n"),
        QByteArray(4096, '\0'),
        QByteArray(10 * 1024 * 1024, 'x'),
    };
    for (const QByteArray& content : junk) {
        QFile file(path("Monitor"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        const QString read = store.get(QStringLiteral("Ustawienia"), QStringLiteral("HDDNumber"),
                                       QStringLiteral("1"));
        EXPECT_EQ(read, QStringLiteral("1"));
    }
}

// Hand-written and QSettings-written values read as the user wrote them, and
// a flush that changes another key writes them back unchanged.
TEST_F(IniStore, ValuesAreReadAndWrittenVerbatim) {
    struct Row {
        const char* line;
        const char* value;
    };
    const Row rows[] = {
        {"HDDFormat=0,00 GB", "0,00 GB"}, {"RAMFormat=\"0,00 MB\"", "0,00 MB"},
        {"HDDNumber = 1024 ", "1024"},    {"x=\" lead;#\\\"q\\\\ \"", " lead;#\"q\\ "},
        {"p=Zaj\u0119te", "Zaj\u0119te"}, {"q=### ### ### ##0 B", "### ### ### ##0 B"},
    };
    for (const Row& row : rows) {
        const QString key = QString::fromUtf8(row.line).section(u'=', 0, 0).trimmed();
        write(path("Monitor"), QByteArray("[Ustawienia]\n") + row.line + "\n");
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        EXPECT_EQ(store.get(QStringLiteral("Ustawienia"), key, {}), QString::fromUtf8(row.value))
            << row.line;
        store.save(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("15"));
        store.flush();
        IniSettingsStore reopened(m_dir.path(), QStringLiteral("Monitor"));
        EXPECT_EQ(reopened.get(QStringLiteral("Ustawienia"), key, {}), QString::fromUtf8(row.value))
            << row.line;
    }
    EXPECT_TRUE(contents(path("Monitor")).contains("q=### ### ### ##0 B\n"));
}

TEST_F(IniStore, AReadSeesWhatAnotherInstanceDeleted) {
    IniSettingsStore running(m_dir.path(), QStringLiteral("Monitor"));
    running.save(QStringLiteral("Pozycja"), QStringLiteral("Top"), QStringLiteral("300"));
    running.flush();
    IniSettingsStore(m_dir.path(), QStringLiteral("Monitor")).deleteAll();
    EXPECT_EQ(running.get(QStringLiteral("Pozycja"), QStringLiteral("Top"), QStringLiteral("0")),
              QStringLiteral("0"));
}

// The store's lock may be left by another machine, be garbage, or not be a
// file at all: closing still writes, within the bounded wait.
TEST_F(IniStore, AnUnusableLockDelaysAFlushAtMostTwoSeconds) {
    const QString lock = path("Monitor") + QStringLiteral(".lock");
    for (const bool asFolder : {true, false}) {
        QDir(lock).removeRecursively();
        QFile::remove(lock);
        if (asFolder) {
            ASSERT_TRUE(QDir().mkpath(lock));
        } else {
            write(lock, "123456789\nsomething\nanother-host\n");
        }
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        store.save(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("45"));
        QElapsedTimer timer;
        timer.start();
        store.flush();
        EXPECT_LT(timer.elapsed(), 3000) << (asFolder ? "folder" : "file");
        EXPECT_EQ(IniSettingsStore(m_dir.path(), QStringLiteral("Monitor"))
                      .get(QStringLiteral("Pozycja"), QStringLiteral("Left"), {}),
                  QStringLiteral("45"));
    }
}

#ifdef Q_OS_UNIX
// A settings file that is not a regular file reads as empty, at once, and is
// never replaced; a link to a regular file is written through and stays a link.
TEST_F(IniStore, OnlyARegularFileIsReadOrWritten) {
    const QString fifo = m_dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString folder = m_dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString regular = m_dir.filePath(QStringLiteral("regular.ini"));
    write(regular, "[Pozycja]\nLeft=30\n");

    struct Row {
        const char* what;
        bool link;
        QString target;
        const char* expected;
    };
    const Row rows[] = {
        {"FIFO", false, fifo, "none"},           {"link to a FIFO", true, fifo, "none"},
        {"folder", false, folder, "none"},       {"link to a folder", true, folder, "none"},
        {"link to a file", true, regular, "30"},
    };
    for (const Row& row : rows) {
        QFile::remove(path("Monitor"));
        QDir().rmdir(path("Monitor"));
        if (row.link) {
            ASSERT_TRUE(QFile::link(row.target, path("Monitor")));
        } else {
            ASSERT_TRUE(QFile::rename(row.target, path("Monitor")));
        }
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        EXPECT_EQ(
            store.get(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("none")),
            QString::fromLatin1(row.expected))
            << row.what;
        store.save(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("60"));
        store.flush();
        const QFileInfo after(path("Monitor"));
        EXPECT_EQ(after.isSymLink(), row.link) << row.what;
        const QString target = row.link ? row.target : path("Monitor");
        const bool written = QString::fromLatin1(row.expected) != QStringLiteral("none");
        EXPECT_EQ(QFileInfo(target).isFile(), written) << row.what;
        if (written) {
            EXPECT_TRUE(contents(target).contains("Left=60")) << row.what;
        }
        if (!row.link) {
            ASSERT_TRUE(QFile::rename(path("Monitor"), row.target));
        }
    }
}
#endif
