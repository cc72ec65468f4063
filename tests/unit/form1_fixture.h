// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/fake_os_queries.h"
#include "fakes/memory_settings_store.h"
#include "meter/form1.h"
#include "texts/texts.h"
#include "widgets/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace kelvora {

// A main window over scripted figures and settings kept in memory:
// a drive of 53 000 000 000 bytes with 13 250 000 000 free, 1 GiB of memory
// with a quarter available, and two processors.
class Form1Test : public ::testing::Test {
public:
    static constexpr double kDriveTotal = 53'000'000'000;
    static constexpr double kDriveFree = 13'250'000'000;

    Form1Test() {
        setDrive(kDriveFree, kDriveTotal);
        os.memory.set(PhysicalMemory{.total = 1073741824, .available = 268435456});
        os.processors.set(2);
        os.system.set(m_time);
        os.idle.set(m_idle);
    }

    static ClusterGeometry driveOf(double freeBytes, double totalBytes) {
        return ClusterGeometry{.sectorsPerCluster = 1,
                               .bytesPerSector = 1,
                               .freeClusters = static_cast<std::uint64_t>(freeBytes),
                               .totalClusters = static_cast<std::uint64_t>(totalBytes)};
    }
    void setDrive(double freeBytes, double totalBytes) {
        os.geometry.set(driveOf(freeBytes, totalBytes));
    }

    // The next CPU sample covers one second at `load` percent on one of the
    // two processors' worth of time.
    void setNextLoad(int load) {
        m_time += 10'000;
        m_idle += 2 * (100 - load) * 100;
        os.system.set(m_time);
        os.idle.set(m_idle);
    }

    Form1& open(const Texts& texts = englishTexts()) {
        form = std::make_unique<Form1>(
            texts, store, os,
            std::vector<Drive>{{"/media", "/media"}, {"/", "/"}, {"/home", "/home"}});
        form->load();
        return *form;
    }

    template <typename T = QWidget> T& control(const char* name) const {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QString caption(const char* name) const { return control<QLabel>(name).text(); }
    QTimer& timer(const char* name) const { return control<QTimer>(name); }
    void fire(const char* timerName) const {
        QMetaObject::invokeMethod(&timer(timerName), "timeout");
    }
    WinShade& strip() const { return form->shade().get(); }
    QString stripCaption(int row) const {
        return strip().findChild<QLabel*>(QStringLiteral("Stat%1").arg(row))->text();
    }

    FakeOsQueries os;
    MemorySettingsStore store;
    std::unique_ptr<Form1> form;

private:
    std::int64_t m_time = 130'000'000'000'000'000;
    std::int64_t m_idle = 5'000'000'000'000;
};

} // namespace kelvora
