// SPDX-License-Identifier: MIT
#pragma once

#include "format/unit_table.h"
#include "meter/tick_text.h"
#include "platform/drive_list.h"
#include "platform/os_queries.h"
#include "sampling/cpu_state.h"
#include "settings/settings_keys.h"
#include "texts/texts.h"
#include "widgets/controls.h"
#include "window_services/shade_mode.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace kelvora {

class SettingsStore;

// The meter's main window: three rows of bar and readouts, the fold-out
// options row, and the strip it can turn into. Controls carry their layout
// names as object names.
class Form1 : public TitledWindow {
    Q_OBJECT
public:
    Form1(const Texts& texts, SettingsStore& store, OsQueries& os, std::vector<Drive> drives);
    ~Form1() override;

    // Restores the stored settings and takes the first readings; the window
    // is shown afterwards by the caller.
    void load();

    // Samples the drive and memory afresh and rewrites their bars, readouts
    // and the strip's rows.
    void memoryAndDriveTick();

    // Writes the eleven keys of a close, once a run: at a close, and when
    // the process ends because the window system went away. Uses only what
    // the window holds, never the window system.
    void storeClosingSettings();

    // The outer height in twips: client area plus the layout's frame.
    double outerHeightTwips() const;

    const UnitState& driveUnit() const { return m_driveUnit; }
    const UnitState& memoryUnit() const { return m_memoryUnit; }
    ShadeSlot& shade() { return m_shade; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void onConfigClicked();
    void onRozwinTimeout();
    void onZwinTimeout();
    void onIntervalChanged(int index);
    void onDyskChanged(int index);
    void onAoTStateChanged(int state);
    void onLoadColorsClicked();
    void onColorsConfirmed(const std::array<QColor, 3>& colours, std::uint8_t alpha);
    void onDdxClicked();
    void onMdxClicked();
    void onAutoRFTimeout();
    void onCpuRefTimeout();
    void onStripDoubleClicked();

private:
    // The strip's rows.
    static constexpr int kDriveRow = 0;
    static constexpr int kMemoryRow = 1;
    static constexpr int kCpuRow = 2;

    // What the window shows where nothing is stored, or a loading step
    // failed.
    static UnitState defaultUnit(Key number, Key format, Key counter);
    static QColor defaultColour(ColourSet set);

    void createControls();
    void describeForScreenReaders();
    void filterClicks();
    void connectControls();
    void fillLists(const std::vector<Drive>& drives);

    bool loadLeft();
    bool loadTop();
    bool loadInterval();
    bool loadAoT();
    bool loadUnitNumber(Key key, UnitState& unit);
    bool loadUnitFormat(Key key, UnitState& unit);
    bool loadUnitCounter(Key key, UnitState& unit);
    bool loadDysk();
    bool loadBarColour(ColourSet set, Bar& bar);
    bool loadAlpha();

    // Done, or Unreadable when a figure could not be divided by (a drive
    // without medium, a stored unit divisor of 0): the rest of the tick is
    // then left undone.
    enum class Refresh { Done, Unreadable };
    Refresh refreshDriveAndMemory();
    void cpuTick();
    void setOuterHeightTwips(double twips);
    void setOptionControlsEnabled(bool enabled);
    std::unique_ptr<WinShade> createStrip();
    QByteArray driveRoot() const;

    const Texts& m_texts;
    SettingsStore& m_store;
    OsQueries& m_os;
    QImage m_background;

    std::array<QLabel*, 5> m_Stat{};
    ShapeFrame* m_DDF = nullptr;
    ShapeFrame* m_MDF = nullptr;
    ShapeFrame* m_PDF = nullptr;
    LevelBar* m_DDX = nullptr;
    LevelBar* m_MDX = nullptr;
    LevelBar* m_PDX = nullptr;
    QLabel* m_dUsed = nullptr;
    QLabel* m_dFree = nullptr;
    QLabel* m_mUsed = nullptr;
    QLabel* m_mFree = nullptr;
    QLabel* m_pUsed = nullptr;
    QLabel* m_pFree = nullptr;
    ButtonLabel* m_Config = nullptr;
    ShadowLabel* m_Label1 = nullptr;
    QComboBox* m_Interval = nullptr;
    QComboBox* m_DYSK = nullptr;
    QCheckBox* m_AoT = nullptr;
    QPushButton* m_LoadColors = nullptr;
    ClickFilter* m_ddxClicks = nullptr;
    ClickFilter* m_mdxClicks = nullptr;

    QTimer m_CpuRef;
    QTimer m_AutoRF;
    QTimer m_Rozwin;
    QTimer m_Zwin;

    CPUState m_CpuStat;
    UnitState m_driveUnit;
    UnitState m_memoryUnit;
    // The system's decimal separator, taken again when the system locale changes.
    std::string m_separator;
    TickText m_dFreeText;
    TickText m_dUsedText;
    TickText m_mFreeText;
    TickText m_mUsedText;
    TickText m_pFreeText;
    TickText m_pUsedText;
    std::array<TickText, 3> m_stripText;
    bool m_optionsOpen = false;
    bool m_closingSettingsStored = false;
    // Where loading put the window: to tell a window that was not moved from
    // one the scaling's rounding shifted by a pixel, and the place stored
    // where the window system reports none.
    QPoint m_loadedPosition;

    // The height last asked for, kept while the window still has the whole
    // pixels it maps to, so the fold steps stay 50 twips despite rounding.
    double m_requestedHeightTwips;

    ShadeSlot m_shade;
};

} // namespace kelvora
