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

    // A row: its bar, then its free and its used readout, each figure and
    // share read afresh.
    const auto row = [&](LevelBar& bar, QLabel& freeLabel, TickText& freeText, QLabel& usedLabel,
                         TickText& usedText, const UnitState& unit, const auto& free,
                         const auto& usedFigure, const auto& whole) {
        const std::optional<double> level = share(usedFigure, whole);
        if (!level) {
            return false;
        }
        bar.setLevel(*level);
        const double freeNow = free();
        if (!readout(freeLabel, freeText, m_texts.freePrefix, freeNow, unit, share(free, whole))) {
            return false;
        }
        const double usedNow = usedFigure();
        return readout(usedLabel, usedText, m_texts.usedPrefix, usedNow, unit,
                       share(usedFigure, whole));
    };
    if (!row(*m_DDX, *m_dFree, m_dFreeText, *m_dUsed, m_dUsedText, m_driveUnit, driveFree,
             driveUsed, driveTotal) ||
        !row(*m_MDX, *m_mFree, m_mFreeText, *m_mUsed, m_mUsedText, m_memoryUnit, avail, used,
             total)) {
        return Refresh::Unreadable;
    }

    WinShade& strip = m_shade.get();
    const auto marker = [&](int stripRow, const auto& part, const auto& whole) {
        const std::optional<double> level = share(part, whole);
        if (level) {
            strip.setMarkerWidthTwips(stripRow, *level * strip.trackWidthTwips(stripRow));
        }
        return level.has_value();
    };
    if (!marker(kDriveRow, driveUsed, driveTotal) || !marker(kMemoryRow, used, total)) {
        return Refresh::Unreadable;
    }
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
