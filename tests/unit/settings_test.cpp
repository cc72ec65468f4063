// SPDX-License-Identifier: MIT
#include "parsing/conversions.h"
#include "process/user_files.h"
#include "process/user_folders.h"
#include "settings/ini_settings_store.h"
#include "settings/settings_keys.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <optional>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
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
        for (int i = 0; i < forms.size(); ++i)
            store.save(QStringLiteral("Ustawienia"), QStringLiteral("K%1").arg(i), forms[i]);
        store.flush();
    }
    EXPECT_TRUE(QFileInfo(path("Monitor")).isFile());
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

// Whatever sits where the store's lock goes, a flush ends within the bounded
// wait and writes: a lock held by another writer is waited for, anything
// else is not even opened.
TEST_F(IniStore, AFlushEndsWithinTheLockWaitWhateverIsAtTheLockPath) {
    enum class AtLock {
        Folder,
        Garbage,
#ifdef Q_OS_UNIX
        Fifo,
        DanglingLink,
        LinkToFifo,
        HeldLock,
#endif
    };
    struct Row {
        const char* what;
        AtLock at;
    };
    const Row rows[] = {
        {"folder", AtLock::Folder},
        {"file of another program", AtLock::Garbage},
#ifdef Q_OS_UNIX
        {"FIFO", AtLock::Fifo},
        {"dangling link", AtLock::DanglingLink},
        {"link to a FIFO", AtLock::LinkToFifo},
        {"lock held by another writer", AtLock::HeldLock},
#endif
    };
    const QString lock = path("Monitor") + QStringLiteral(".lock");
    const QString fifo = m_dir.filePath(QStringLiteral("fifo"));
    for (const Row& row : rows) {
        QDir(lock).removeRecursively();
        QFile::remove(lock);
        QFile::remove(fifo);
        std::optional<FileLock> held;
        switch (row.at) {
        case AtLock::Folder:
            ASSERT_TRUE(QDir().mkpath(lock));
            break;
        case AtLock::Garbage:
            write(lock, "123456789\nsomething\nanother-host\n");
            break;
#ifdef Q_OS_UNIX
        case AtLock::Fifo:
            ASSERT_EQ(mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
            break;
        case AtLock::DanglingLink:
            ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("gone")), lock));
            break;
        case AtLock::LinkToFifo:
            ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            ASSERT_TRUE(QFile::link(fifo, lock));
            break;
        case AtLock::HeldLock:
            held.emplace(UserFolder(m_dir.path(), MakeFolder::Never, FolderLinks::Follow),
                         QStringLiteral("Monitor.ini.lock"), std::chrono::milliseconds(0));
            ASSERT_TRUE(held->held());
            break;
#endif
        }
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        store.save(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("45"));
        QElapsedTimer timer;
        timer.start();
        store.flush();
        const qint64 took = timer.elapsed();
        EXPECT_LT(took, 3000) << row.what;
        if (held) {
            EXPECT_GE(took, 1900) << row.what << ": a held lock was not waited for";
        }
        EXPECT_EQ(IniSettingsStore(m_dir.path(), QStringLiteral("Monitor"))
                      .get(QStringLiteral("Pozycja"), QStringLiteral("Left"), {}),
                  QStringLiteral("45"))
            << row.what;
    }
}

// Whatever the user keeps in the file, a save changes the value of its own
// key (the last of a repeated one, which is the one read) and adds its new
// section at the end, in the file's own line ends; every other byte stays.
TEST_F(IniStore, ASaveKeepsEveryByteItDoesNotOwn) {
    struct Row {
        const char* what;
        QByteArray before;
        const char* lineEnd;
    };
    const QByteArray big = QByteArray("[Big]\n") + QByteArray("k=v\n").repeated(512 * 1024);
    const Row rows[] = {
        {"comments and keys before any section",
         "top=1\n; note=2\n# hash=3\n[Ustawienia]\n; c\ninterval=5\n[Other]\nx = y \n", "\n"},
        {"a repeated key and section",
         "[Ustawienia]\ninterval=1\n[Other]\nk=v\n[Ustawienia]\ninterval=4\ninterval=5\n", "\n"},
        {"a note after the section's name", "[Ustawienia] ; note\ninterval = 5\n", "\n"},
        {"CR line ends", "[Pozycja]\rLeft=1\r[Ustawienia]\rinterval=5\r", "\r"},
        {"CRLF line ends", "[Ustawienia]\r\ninterval=5\r\n\r\n[Other]\r\nk=v\r\n", "\r\n"},
        {"Latin-1 bytes",
         "[\xa3\xf3"
         "d\xbc]\nk=\xb1\xea\n[Ustawienia]\nNazwa=Zaj\xeate\ninterval=5\n",
         "\n"},
        {"a UTF-8 mark and no final line end", "\xef\xbb\xbf[Ustawienia]\ninterval=5", "\n"},
        {"over 1 MiB", "[Ustawienia]\ninterval=5\n" + big, "\n"},
    };
    for (const Row& row : rows) {
        write(path("Monitor"), row.before);
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        EXPECT_EQ(store.get(QStringLiteral("Ustawienia"), QStringLiteral("interval"), {}),
                  QStringLiteral("5"))
            << row.what;
        store.save(QStringLiteral("Ustawienia"), QStringLiteral("interval"), QStringLiteral("3"));
        store.save(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("7"));
        store.flush();

        QByteArray kept = row.before;
        const qsizetype value = kept.lastIndexOf('5');
        kept[value] = '3';
        const QByteArray after = contents(path("Monitor"));
        EXPECT_TRUE(after.startsWith(kept)) << row.what;
        EXPECT_TRUE(after.endsWith(QByteArray("[Kolory]") + row.lineEnd + "R1=7" + row.lineEnd))
            << row.what;
        EXPECT_EQ(IniSettingsStore(m_dir.path(), QStringLiteral("Monitor"))
                      .get(QStringLiteral("Ustawienia"), QStringLiteral("interval"), {}),
                  QStringLiteral("3"))
            << row.what;
    }
}

// A file that cannot be read whole reads as empty, and the first write moves
// it aside, byte for byte, instead of writing over it.
TEST_F(IniStore, AFileThatCannotBeReadIsMovedAsideBeforeAWrite) {
    const QString text = QStringLiteral("[Ustawienia]\r\ninterval=5\r\n");
    const QByteArray rows[] = {
        QByteArray("\xff\xfe") +
            QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2),
        QByteArray("[Ustawienia]\ninterval=5\n\0\n", 26),
        QByteArray("[Ustawienia]\ninterval=5\n") + QByteArray(17 * 1024 * 1024, 'x'),
    };
    const QString aside = path("Monitor") + QStringLiteral(".unreadable");
    for (const QByteArray& before : rows) {
        QFile::remove(aside);
        write(path("Monitor"), before);
        IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
        EXPECT_EQ(store.get(QStringLiteral("Ustawienia"), QStringLiteral("interval"),
                            QStringLiteral("none")),
                  QStringLiteral("none"));
        store.save(QStringLiteral("Ustawienia"), QStringLiteral("interval"), QStringLiteral("3"));
        store.flush();
        EXPECT_TRUE(contents(aside) == before) << before.first(12).toHex().constData();
        EXPECT_EQ(IniSettingsStore(m_dir.path(), QStringLiteral("Monitor"))
                      .get(QStringLiteral("Ustawienia"), QStringLiteral("interval"), {}),
                  QStringLiteral("3"));
    }
}

// A write that would grow the file past what a start reads is not made: the
// next start would move that file aside.
TEST_F(IniStore, NoWriteGrowsTheFilePastTheReadLimit) {
    QByteArray before("[Ustawienia]\nk=");
    before += QByteArray(16 * 1024 * 1024 - before.size() - 1, 'x') + '\n';
    write(path("Monitor"), before);
    IniSettingsStore store(m_dir.path(), QStringLiteral("Monitor"));
    store.save(QStringLiteral("Ustawienia"), QStringLiteral("interval"), QStringLiteral("3"));
    store.flush();
    EXPECT_TRUE(contents(path("Monitor")) == before);
    store.save(QStringLiteral("Ustawienia"), QStringLiteral("k"), QStringLiteral("short"));
    store.flush();
    EXPECT_EQ(contents(path("Monitor")), "[Ustawienia]\nk=short\ninterval=3\n");
}

// A file at the earlier place is taken over whole when the store's folder
// has none; one the store could not use, or one without any of the
// program's sections, stays where it is. Deleting all removes both places'
// files.
TEST_F(IniStore, AFileAtTheEarlierPlaceIsTakenOverWhole) {
    const QString folder = m_dir.filePath(QStringLiteral("Kelvora"));
    const QString earlier = path("Monitor");
    const QString current = folder + QStringLiteral("/Monitor.ini");
    struct Row {
        QByteArray before;
        bool takenOver;
    };
    const Row rows[] = {
        {"[Pozycja]\r\nLeft=30\r\n[Mine]\r\n; \xb1\r\nk=v\r\n", true},
        {QByteArray("[Pozycja]\nLeft=30\n\0", 19), false},
        {"[General]\nLeft=30\n", false},
    };
    for (const Row& row : rows) {
        QDir(folder).removeRecursively();
        write(earlier, row.before);
        IniSettingsStore store(folder, QStringLiteral("Monitor"), m_dir.path());
        EXPECT_FALSE(QFileInfo::exists(current)) << "taken over before the instance lock";
        store.takeOverEarlierFile();
        EXPECT_EQ(QFileInfo::exists(current), row.takenOver);
        EXPECT_EQ(QFileInfo::exists(earlier), !row.takenOver);
        EXPECT_TRUE(contents(row.takenOver ? current : earlier) == row.before);
        EXPECT_EQ(store.get(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("0")),
                  row.takenOver ? QStringLiteral("30") : QStringLiteral("0"));
    }
    ASSERT_TRUE(QDir().mkpath(folder));
    write(current, "[Pozycja]\nLeft=30\n");
    write(earlier, "[Pozycja]\nLeft=45\n");
    IniSettingsStore(folder, QStringLiteral("Monitor"), m_dir.path()).deleteAll();
    EXPECT_FALSE(QFileInfo::exists(current));
    EXPECT_FALSE(QFileInfo::exists(earlier));
    // Without a section of the program's, the file may be another program's.
    write(earlier, "[General]\nLeft=45\n");
    IniSettingsStore(folder, QStringLiteral("Monitor"), m_dir.path()).deleteAll();
    EXPECT_TRUE(QFileInfo::exists(earlier));
    // A link there goes itself, and what it names stays.
    const QString named = m_dir.filePath(QStringLiteral("named.ini"));
    write(named, "[Pozycja]\nLeft=45\n");
    ASSERT_TRUE(QFile::remove(earlier) && QFile::link(named, earlier));
    IniSettingsStore(folder, QStringLiteral("Monitor"), m_dir.path()).deleteAll();
    EXPECT_FALSE(QFileInfo(earlier).isSymLink());
    EXPECT_EQ(contents(named), "[Pozycja]\nLeft=45\n");
}

// A write that fails (here the folder cannot be made: a file is in its way)
// keeps what it was to store for the next write that succeeds.
TEST_F(IniStore, WhatAFailedWriteCouldNotStoreGoesWithTheNextOne) {
    const QString folder = m_dir.filePath(QStringLiteral("blocked"));
    write(folder, "in the way");
    IniSettingsStore store(folder, QStringLiteral("Monitor"));
    store.save(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("7"));
    store.flush();
    ASSERT_TRUE(QFile::remove(folder));
    store.save(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("15"));
    store.flush();
    IniSettingsStore reopened(folder, QStringLiteral("Monitor"));
    EXPECT_EQ(reopened.get(QStringLiteral("Kolory"), QStringLiteral("R1"), {}),
              QStringLiteral("7"));
    EXPECT_EQ(reopened.get(QStringLiteral("Pozycja"), QStringLiteral("Left"), {}),
              QStringLiteral("15"));
}

#ifdef Q_OS_UNIX
// A settings file that is not a regular file reads as empty, at once, and is
// never replaced; a link to a regular file is written through and stays a
// link, but for root, who follows no link.
TEST_F(IniStore, OnlyARegularFileIsReadOrWritten) {
    const char* const throughLink = geteuid() == 0 ? "none" : "30";
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
        {"FIFO", false, fifo, "none"},
        {"link to a FIFO", true, fifo, "none"},
        {"folder", false, folder, "none"},
        {"link to a folder", true, folder, "none"},
        {"link to a file", true, regular, throughLink},
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
        EXPECT_EQ(QFileInfo(target).isFile() && contents(target).contains("Left=60"), written)
            << row.what;
        if (!row.link) {
            ASSERT_TRUE(QFile::rename(path("Monitor"), row.target));
        }
    }
}
#endif

#ifdef Q_OS_UNIX
// Run as root on a user's folder, the store does only what that user could:
// what it makes is the user's, a file the user pinned read-only stays, and no
// link, hard link or folder link the user planted leads it to a file of the
// system's.
TEST_F(IniStore, ARunAsRootOnAUsersFolderDoesOnlyWhatTheUserMay) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to act for another user";
    }
    constexpr uid_t kUser = 4321;
    constexpr gid_t kGroup = 4322;
    enum class Planted { Nothing, ReadOnlyFile, FileLink, HardLink, DanglingLink, FolderLink };
    enum class Step { Close, Restore, TakeOver };
    struct Row {
        const char* what;
        Planted planted;
        Step step;
        bool stored;
    };
    const Row rows[] = {
        {"nothing there", Planted::Nothing, Step::Close, true},
        {"a file its user made read-only", Planted::ReadOnlyFile, Step::Close, false},
        {"a link to a system file", Planted::FileLink, Step::Close, false},
        {"a hard link to a system file", Planted::HardLink, Step::Close, false},
        {"a link to a missing system file", Planted::DanglingLink, Step::Close, false},
        {"the folder a link to a system folder", Planted::FolderLink, Step::Close, false},
        {"-restore with a link to a system file", Planted::FileLink, Step::Restore, false},
        {"a takeover into a link to a missing system file", Planted::DanglingLink, Step::TakeOver,
         false},
    };
    const auto native = [](const QString& name) { return QFile::encodeName(name); };
    const auto owner = [&](const QString& name) {
        struct stat info {};
        return lstat(native(name).constData(), &info) == 0 ? info.st_uid : uid_t(-1);
    };
    // The user acted for must reach its folder, and the build tree may lie
    // below one only root enters (/root).
    QTemporaryDir reachable(QStringLiteral("/tmp/kelvora-root-table-XXXXXX"));
    ASSERT_TRUE(reachable.isValid());
    ASSERT_EQ(chmod(native(reachable.path()).constData(), 0755), 0);
    const QString system = reachable.filePath(QStringLiteral("system"));
    const QString secret = system + QStringLiteral("/shadow");
    const QString home = reachable.filePath(QStringLiteral("home"));
    const QString folder = home + QStringLiteral("/Kelvora");
    const QString file = folder + QStringLiteral("/Monitor.ini");
    for (const Row& row : rows) {
        QDir(system).removeRecursively();
        QDir(home).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(system) && QDir().mkpath(folder));
        write(secret, "root:secret\n");
        ASSERT_EQ(chmod(native(secret).constData(), 0600), 0);
        write(home + QStringLiteral("/Monitor.ini"), "[Pozycja]\nLeft=45\n");
        for (const QString& mine : {home, folder, home + QStringLiteral("/Monitor.ini")}) {
            ASSERT_EQ(chown(native(mine).constData(), kUser, kGroup), 0);
        }
        // What the user plants is the user's; a hard link shares the system
        // file's owner.
        switch (row.planted) {
        case Planted::Nothing:
            break;
        case Planted::ReadOnlyFile:
            write(file, "[Pozycja]\nLeft=30\n");
            ASSERT_EQ(chmod(native(file).constData(), 0444), 0);
            ASSERT_EQ(chown(native(file).constData(), kUser, kGroup), 0);
            break;
        case Planted::FileLink:
            ASSERT_TRUE(QFile::link(secret, file));
            ASSERT_EQ(lchown(native(file).constData(), kUser, kGroup), 0);
            break;
        case Planted::HardLink:
            ASSERT_EQ(link(native(secret).constData(), native(file).constData()), 0);
            break;
        case Planted::DanglingLink:
            ASSERT_TRUE(QFile::link(system + QStringLiteral("/made.sh"), file));
            ASSERT_EQ(lchown(native(file).constData(), kUser, kGroup), 0);
            break;
        case Planted::FolderLink:
            ASSERT_TRUE(QDir(folder).removeRecursively() && QFile::link(system, folder));
            ASSERT_EQ(lchown(native(folder).constData(), kUser, kGroup), 0);
            break;
        }

        IniSettingsStore store(folder, QStringLiteral("Monitor"), home);
        switch (row.step) {
        case Step::Close:
            store.save(QStringLiteral("Pozycja"), QStringLiteral("Left"), QStringLiteral("15"));
            store.flush();
            break;
        case Step::Restore:
            store.deleteAll();
            break;
        case Step::TakeOver:
            store.takeOverEarlierFile();
            break;
        }

        EXPECT_EQ(QDir(system).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                  QStringList{QStringLiteral("shadow")})
            << row.what;
        EXPECT_EQ(contents(secret), "root:secret\n") << row.what;
        EXPECT_EQ(owner(secret), 0u) << row.what;
        EXPECT_EQ(QFileInfo(file).isFile() && contents(file).contains("Left=15"), row.stored)
            << row.what;
        if (row.stored) {
            EXPECT_EQ(owner(file), kUser) << row.what;
        }
        if (row.planted == Planted::ReadOnlyFile) {
            EXPECT_EQ(contents(file), "[Pozycja]\nLeft=30\n") << row.what;
        }
        if (row.step == Step::Restore) {
            EXPECT_FALSE(QFileInfo(file).isSymLink()) << row.what << ": the link stayed";
        }
    }
}

// A relative XDG_CONFIG_HOME is no place: the settings go to ~/.config, and
// without a usable HOME (services, cron) to the home the system lists.
TEST(UserFolders, ARelativeConfigHomeIsIgnored) {
    const QByteArray configured = qgetenv("XDG_CONFIG_HOME");
    const QByteArray home = qgetenv("HOME");
    const QString listed = QFile::decodeName(getpwuid(geteuid())->pw_dir);
    struct Row {
        const char* config;
        const char* home;
        QString base;
    };
    const Row rows[] = {
        {"", "/home/someone", QStringLiteral("/home/someone/.config")},
        {"cfgrel", "/home/someone", QStringLiteral("/home/someone/.config")},
        {"./cfg", "/home/someone", QStringLiteral("/home/someone/.config")},
        {"/srv/cfg/", "/home/someone", QStringLiteral("/srv/cfg")},
        {"", "", listed + QStringLiteral("/.config")},
        {"", "someone", listed + QStringLiteral("/.config")},
    };
    for (const Row& row : rows) {
        qputenv("XDG_CONFIG_HOME", row.config);
        qputenv("HOME", row.home);
        EXPECT_EQ(earlierUserSettingsFolder(), row.base) << row.config << " " << row.home;
        EXPECT_EQ(userSettingsFolder(), row.base + QStringLiteral("/Kelvora")) << row.config;
    }
    qputenv("XDG_CONFIG_HOME", configured);
    qputenv("HOME", home);
}
#endif
