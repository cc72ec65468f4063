#include "settings/conversions.h"
#include "settings/ini_settings_store.h"
#include "settings/settings_keys.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    }
    QString path(const char* title) const {
        return m_dir.filePath(QString::fromLatin1(title) + QStringLiteral(".ini"));
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
        IniSettingsStore store(QStringLiteral("Monitor"));
        EXPECT_EQ(store.fileName(), path("Monitor"));
        for (int i = 0; i < forms.size(); ++i)
            store.save(QStringLiteral("Ustawienia"), QStringLiteral("K%1").arg(i), forms[i]);
        store.flush();
    }
    IniSettingsStore reopened(QStringLiteral("Monitor"));
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
    IniSettingsStore english(QStringLiteral("Monitor"));
    IniSettingsStore polish(QStringLiteral("Kelvora"));
    english.save(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("10"));
    polish.save(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("20"));
    english.flush();
    polish.flush();
    english.deleteAll();
    EXPECT_EQ(english.get(QStringLiteral("Kolory"), QStringLiteral("R1"), QStringLiteral("d")),
              QStringLiteral("d"));
    IniSettingsStore polishAgain(QStringLiteral("Kelvora"));
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
        IniSettingsStore store(QStringLiteral("Monitor"));
        const QString read = store.get(QStringLiteral("Ustawienia"), QStringLiteral("HDDNumber"),
                                       QStringLiteral("1"));
        EXPECT_EQ(read, QStringLiteral("1"));
    }
}
