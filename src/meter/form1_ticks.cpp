// SPDX-License-Identifier: MIT
// The main window's two refresh ticks: memory and drive, and the processor.

#include "meter/form1.h"
#include "meter/readouts.h"
#include "sampling/memory_disk.h"
#include "texts/shared_texts.h"
#include "window_services/win_shade.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>
#include <optional>
#include <string_view>

namespace kelvora {

void Form1::onAutoRFTimeout() {
    memoryAndDriveTick();
}

void Form1::onCpuRefTimeout() {
    cpuTick();
}

QByteArray Form1::driveRoot() const {
    return m_DYSK->currentData().toByteArray();
}

void Form1::memoryAndDriveTick() {
    if (refreshDriveAndMemory() == Refresh::Unreadable) {
        // The root drive's change handling runs the tick again.
        m_DYSK->setCurrentIndex(kRootDriveIndex);
    }
}

Form1::Refresh Form1::refreshDriveAndMemory() {
    const QByteArray rootText = driveRoot();
    const std::string_view root(rootText.constData(), static_cast<std::size_t>(rootText.size()));
    // Every figure is its own fresh query, so no readout shows a drive or
    // memory state older than the tick. The queries run in a fixed order:
    // as arguments of one call their order would be the compiler's choice,
    // and it differs between architectures.
    const auto diskSpace = [&] { return ReadDiskSpace(m_os, root); };
    const auto driveFree = [&] { return diskSpace().Free; };
    const auto driveUsed = [&] { return diskSpace().Used; };
    const auto driveTotal = [&] { return diskSpace().Total; };
    const auto total = [&] { return static_cast<double>(ReadMemoryStatus(m_os).totalPhys); };
    const auto avail = [&] { return static_cast<double>(ReadMemoryStatus(m_os).availPhys); };
    const auto used = [&] {
        const double memoryTotal = total();
        return std::max(0.0, memoryTotal - avail());
    };
    // A failed query reads as zeros and only a zero whole stops the tick, so
    // the whole is read first: the tick's first query then meets a drive that
    // cannot be read.
    const auto share = [](const auto& part, const auto& whole) {
        const double wholeFigure = whole();
        return divide(part(), wholeFigure);
    };
    // A readout with a share that could not be had, or a unit divisor of 0,
    // ends the tick as an unreadable figure.
    const auto readout = [this](QLabel& label, TickText& text, std::string_view prefix,
                                double figure, const UnitState& unit, std::optional<double> part) {
        if (!part || !composeReadout(text, prefix, figure, unit, *part, m_separator)) {
            return false;
        }
        setCaption(label, text.text());
        return true;
    };

    const std::optional<double> driveLevel = share(driveUsed, driveTotal);
    if (!driveLevel) {
        return Refresh::Unreadable;
    }
    m_DDX->setLevel(*driveLevel);
    const double freeBytes = driveFree();
    if (!readout(*m_dFree, m_dFreeText, m_texts.freePrefix, freeBytes, m_driveUnit,
                 share(driveFree, driveTotal))) {
        return Refresh::Unreadable;
    }
    const double usedBytes = driveUsed();
    if (!readout(*m_dUsed, m_dUsedText, m_texts.usedPrefix, usedBytes, m_driveUnit,
                 share(driveUsed, driveTotal))) {
        return Refresh::Unreadable;
    }
    const std::optional<double> memoryLevel = share(used, total);
    if (!memoryLevel) {
        return Refresh::Unreadable;
    }
    m_MDX->setLevel(*memoryLevel);
    const double availMemory = avail();
    if (!readout(*m_mFree, m_mFreeText, m_texts.freePrefix, availMemory, m_memoryUnit,
                 share(avail, total))) {
        return Refresh::Unreadable;
    }
    const double usedMemory = used();
    if (!readout(*m_mUsed, m_mUsedText, m_texts.usedPrefix, usedMemory, m_memoryUnit,
                 share(used, total))) {
        return Refresh::Unreadable;
    }

    WinShade& strip = m_shade.get();
    const std::optional<double> stripDriveLevel = share(driveUsed, driveTotal);
    if (!stripDriveLevel) {
        return Refresh::Unreadable;
    }
    strip.setMarkerWidthTwips(kDriveRow, *stripDriveLevel * strip.trackWidthTwips(kDriveRow));
    const std::optional<double> stripMemoryLevel = share(used, total);
    if (!stripMemoryLevel) {
        return Refresh::Unreadable;
    }
    strip.setMarkerWidthTwips(kMemoryRow, *stripMemoryLevel * strip.trackWidthTwips(kMemoryRow));
    strip.setStatCaption(kDriveRow, composeStripCaption(m_stripText[kDriveRow],
                                                        shared::kStripDrivePrefix, m_dFreeText));
    strip.setStatCaption(kMemoryRow, composeStripCaption(m_stripText[kMemoryRow],
                                                         shared::kStripMemoryPrefix, m_mFreeText));
    return Refresh::Done;
}

void Form1::cpuTick() {
    const std::int16_t load = loadReading(m_CpuStat.Query());
    m_PDX->setLevel(load / 100.0);
    setCaption(*m_pUsed, composeLoad(m_pUsedText, m_texts.usedPrefix, load));
    setCaption(*m_pFree, composeLoad(m_pFreeText, m_texts.freePrefix, 100 - load));
    WinShade& strip = m_shade.get();
    strip.setStatCaption(
        kCpuRow, composeStripCaption(m_stripText[kCpuRow], shared::kStripCpuPrefix, m_pFreeText));
    strip.setMarkerWidthTwips(kCpuRow, load / 100.0 * strip.trackWidthTwips(kCpuRow));
}

} // namespace kelvora
