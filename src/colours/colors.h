// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_keys.h"
#include "texts/texts.h"
#include "widgets/controls.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QGroupBox;
class QPushButton;
class QSlider;

namespace kelvora {

class SettingsStore;

// The modal dialog that edits the three bar colours (drive, memory, CPU) and
// the windows' opacity. It is made afresh for every opening.
class Colors : public QDialog {
    Q_OBJECT
public:
    Colors(QWidget& owner, const Texts& texts, SettingsStore& store, bool ownerOnTop);

    QColor previewColour(int set) const { return m_preview[set]->fillColour(); }

signals:
    // Emitted by OK after the values are stored and before the dialog closes:
    // the bars take the previews' colours, the windows the opacity.
    void confirmed(const std::array<QColor, 3>& colours, std::uint8_t alpha);

private slots:
    void onColourSliderChanged(int set);
    void onASliderChanged(int value);
    void onOKButtonClicked();

private:
    void createControls();
    void connectControls();
    void placeOver(const QWidget& owner);
    void setSlider(QSlider& slider, Key key);
    void updatePreview(int set);

    const Texts& m_texts;
    SettingsStore& m_store;
    std::array<QGroupBox*, 3> m_frame{};
    // Per set: red, green, blue.
    std::array<std::array<QSlider*, 3>, 3> m_slider{};
    std::array<Bar*, 3> m_preview{};
    QSlider* m_A = nullptr;
    QPushButton* m_OKButton = nullptr;
    QPushButton* m_CancelButton = nullptr;
};

} // namespace kelvora
