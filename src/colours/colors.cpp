// SPDX-License-Identifier: MIT
#include "colours/colors.h"

#include "parsing/conversions.h"
#include "settings/settings_store.h"
#include "texts/shared_texts.h"
#include "widgets/fonts.h"
#include "widgets/twips.h"
#include "window_services/window_services.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

#include <algorithm>

namespace kelvora {

namespace {

constexpr int kClientWidth = 10440;
constexpr int kClientHeight = 2535;
// A minimum of 64 keeps every window visible whatever the user picks.
constexpr int kLowestAlpha = 64;

// One colour set: its frame with three sliders and their captions inside,
// and its preview below. Captions are numbered across the frames as the
// layout has them.
struct SetPlaces {
    Place frame;
    std::array<Place, 3> slider;  // red, green, blue
    std::array<Place, 3> caption; // red, green, blue
    Place preview;
};

constexpr SetPlaces kSetPlaces[] = {
    {{"DYSK", 180, 120, 3255, 1455},
     {{{"R1", 360, 300, 2715, 255}, {"G1", 360, 660, 2715, 255}, {"B1", 360, 1020, 2715, 255}}},
     {{{"Stat0", 180, 360, 120, 195},
       {"Stat2", 180, 720, 120, 195},
       {"Stat1", 180, 1080, 105, 195}}},
     {"P1", 180, 1620, 3255, 315}},
    {{"RAM", 3600, 120, 3255, 1455},
     {{{"R2", 360, 300, 2715, 255}, {"G2", 360, 660, 2715, 255}, {"B2", 360, 1020, 2715, 255}}},
     {{{"Stat5", 180, 360, 120, 195},
       {"Stat3", 180, 720, 120, 195},
       {"Stat4", 180, 1080, 105, 195}}},
     {"P2", 3600, 1620, 3255, 315}},
    {{"CPU", 7020, 120, 3255, 1455},
     {{{"R3", 360, 300, 2715, 255}, {"G3", 360, 660, 2715, 255}, {"B3", 360, 1020, 2715, 255}}},
     {{{"Stat6", 180, 360, 120, 195},
       {"Stat8", 180, 720, 120, 195},
       {"Stat7", 180, 1080, 105, 195}}},
     {"P3", 7020, 1620, 3255, 315}},
};
constexpr Place kAPlace = {"A", 3960, 2100, 2715, 255};
constexpr Place kOKButtonPlace = {"OKButton", 7560, 2040, 1215, 375};
constexpr Place kCancelButtonPlace = {"CancelButton", 9060, 2040, 1215, 375};

Place stat9Place(const Texts& texts) {
    return {"Stat9", texts.alphaCaptionLeft, 2130, texts.alphaCaptionWidth, 195};
}

QSlider* slider(QWidget* parent, const Place& where, int minimum) {
    auto* control = new QSlider(Qt::Horizontal, parent);
    control->setRange(minimum, 255);
    control->setSingleStep(1);
    control->setPageStep(1);
    place(*control, where);
    return control;
}

} // namespace

Colors::Colors(QWidget& owner, const Texts& texts, SettingsStore& store, bool ownerOnTop)
    // A fixed frame on Windows, as the main window's.
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_texts(texts), m_store(store) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    createControls();
    // Load: the dialog shares the owner's band and opens with the stored
    // opacity, then shows the stored values. Nothing is connected yet, so
    // setting the sliders here sends nothing.
    SetAlwaysOnTop(*this, ownerOnTop);
    if (const auto alpha = toByte(readSetting(m_store, Key::Alpha))) {
        SetWindowAlpha(*this, *alpha);
    }
    setSlider(*m_A, Key::Alpha);
    for (int set = 0; set < kColourSetCount; ++set) {
        for (int component = 0; component < 3; ++component) {
            setSlider(*m_slider[set][component], colourKeys(set)[component]);
        }
    }
    for (int set = 0; set < kColourSetCount; ++set) {
        updatePreview(set);
    }
    connectControls();
    placeOver(owner);
}

// Centres the dialog's frame on the owner's frame and keeps it whole on the
// owner's screen. The dialog is not framed before it is shown, so it takes
// the owner's frame for its own; placing the client area rather than the
// frame then leaves the window manager nothing to guess.
void Colors::placeOver(const QWidget& owner) {
    const QRect ownerFrame = owner.frameGeometry();
    const QMargins frame(owner.geometry().left() - ownerFrame.left(),
                         owner.geometry().top() - ownerFrame.top(),
                         ownerFrame.right() - owner.geometry().right(),
                         ownerFrame.bottom() - owner.geometry().bottom());
    const QSize frameSize = size().grownBy(frame);
    QPoint corner(ownerFrame.left() + (ownerFrame.width() - frameSize.width()) / 2,
                  ownerFrame.top() + (ownerFrame.height() - frameSize.height()) / 2);
    if (const QScreen* screen = owner.screen()) {
        const QRect whole = screen->availableGeometry();
        corner.setX(std::clamp(corner.x(), whole.left(),
                               std::max(whole.left(), whole.right() + 1 - frameSize.width())));
        corner.setY(std::clamp(corner.y(), whole.top(),
                               std::max(whole.top(), whole.bottom() + 1 - frameSize.height())));
    }
    setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), size()));
}

void Colors::createControls() {
    setWindowTitle(QString::fromUtf8(m_texts.colorsCaption));
    setFixedSize(toPixels(kClientWidth), toPixels(kClientHeight));
    keepFrameFixed(*this);
    setFont(tahoma(8.25, QFont::Bold));

    const char* frameCaptions[] = {m_texts.driveFrame, m_texts.memoryFrame, m_texts.cpuFrame};
    const char* componentCaptions[] = {shared::kRed, shared::kGreen, shared::kBlue};
    // A screen reader hears each slider as its set and colour, where the
    // window shows only R, G or B beside it.
    const char* componentNames[] = {m_texts.redName, m_texts.greenName, m_texts.blueName};
    for (int set = 0; set < kColourSetCount; ++set) {
        const SetPlaces& where = kSetPlaces[set];
        const QString setCaption = QString::fromUtf8(frameCaptions[set]);
        m_frame[set] = new QGroupBox(setCaption, this);
        place(*m_frame[set], where.frame);
        for (int component = 0; component < 3; ++component) {
            m_slider[set][component] = slider(m_frame[set], where.slider[component], 0);
            m_slider[set][component]->setAccessibleName(
                setCaption + u' ' + QString::fromUtf8(componentNames[component]));
            auto* caption =
                new QLabel(QString::fromLatin1(componentCaptions[component]), m_frame[set]);
            place(*caption, where.caption[component]);
        }
        m_preview[set] = new Bar(this, Bar::Outline::None);
        place(*m_preview[set], where.preview);
        m_preview[set]->setAccessibleName(setCaption);
        // The previews take their turn in the focus order.
        m_preview[set]->setFocusPolicy(Qt::TabFocus);
    }

    auto* alphaCaption = new QLabel(QString::fromUtf8(m_texts.alphaCaption), this);
    place(*alphaCaption, stat9Place(m_texts));
    m_A = slider(this, kAPlace, kLowestAlpha);
    m_A->setPageStep(16);
    alphaCaption->setBuddy(m_A);

    m_OKButton = new QPushButton(QString::fromUtf8(shared::kOk), this);
    place(*m_OKButton, kOKButtonPlace);
    m_OKButton->setDefault(true);
    m_CancelButton = new QPushButton(QString::fromUtf8(shared::kCancel), this);
    place(*m_CancelButton, kCancelButtonPlace);

    const auto& [r1, g1, b1] = m_slider[0];
    const auto& [r2, g2, b2] = m_slider[1];
    const auto& [r3, g3, b3] = m_slider[2];
    const auto& [p1, p2, p3] = m_preview;
    QWidget* const focusOrder[] = {
        m_OKButton, m_CancelButton, r1, g1, b1, b2, g2, r2, r3, g3, b3, p1, p3, p2, m_A};
    for (std::size_t i = 1; i < std::size(focusOrder); ++i) {
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    }
    m_OKButton->setFocus();
}

void Colors::connectControls() {
    for (int set = 0; set < kColourSetCount; ++set) {
        for (QSlider* component : m_slider[set]) {
            connect(component, &QSlider::valueChanged, this,
                    [this, set] { onColourSliderChanged(set); });
        }
    }
    connect(m_A, &QSlider::valueChanged, this, &Colors::onASliderChanged);
    connect(m_OKButton, &QPushButton::clicked, this, &Colors::onOKButtonClicked);
    connect(m_CancelButton, &QPushButton::clicked, this, &Colors::reject);
}

// An unreadable stored value shows the key's default; one outside the slider's
// range shows the nearest end.
void Colors::setSlider(QSlider& slider, Key key) {
    const auto value = toInt16(readSetting(m_store, key));
    slider.setValue(value ? *value : *toInt16(definitionOf(key).defaultText));
}

// A screen reader hears a preview as its set's name and the colour it shows,
// in the three values the sliders set.
void Colors::updatePreview(int set) {
    const auto& [red, green, blue] = m_slider[set];
    m_preview[set]->setFillColour(QColor(red->value(), green->value(), blue->value()));
    m_preview[set]->setAccessibleDescription(QStringLiteral("%1 %2, %3 %4, %5 %6")
                                                 .arg(QString::fromUtf8(m_texts.redName))
                                                 .arg(red->value())
                                                 .arg(QString::fromUtf8(m_texts.greenName))
                                                 .arg(green->value())
                                                 .arg(QString::fromUtf8(m_texts.blueName))
                                                 .arg(blue->value()));
}

// Every change of a slider's value shows, whether it came from dragging the
// thumb, the arrows, the track or the keyboard, so the preview never shows a
// colour other than the one OK stores.
void Colors::onColourSliderChanged(int set) {
    updatePreview(set);
}

void Colors::onASliderChanged(int value) {
    SetWindowAlpha(*this, static_cast<std::uint8_t>(value));
}

void Colors::onOKButtonClicked() {
    for (int set = 0; set < kColourSetCount; ++set) {
        for (int component = 0; component < 3; ++component) {
            saveSetting(m_store, colourKeys(set)[component],
                        QString::number(m_slider[set][component]->value()));
        }
    }
    saveSetting(m_store, Key::Alpha, QString::number(m_A->value()));
    m_store.flush();
    emit confirmed({previewColour(0), previewColour(1), previewColour(2)},
                   static_cast<std::uint8_t>(m_A->value()));
    accept();
}

} // namespace kelvora
