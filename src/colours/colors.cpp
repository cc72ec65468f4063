#include "colours/colors.h"

#include "meter/fonts.h"
#include "meter/twips.h"
#include "settings/conversions.h"
#include "settings/settings_store.h"
#include "texts/shared_texts.h"
#include "window_services/window_services.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace kelvora {

namespace {

constexpr int kClientWidth = 10440;
constexpr int kClientHeight = 2535;
constexpr int kFrameLeft[] = {180, 3600, 7020};
// A minimum of 64 keeps every window visible whatever the user picks.
constexpr int kLowestAlpha = 64;

QSlider* slider(QWidget* parent, const QString& name, int left, int top, int minimum) {
    auto* control = new QSlider(Qt::Horizontal, parent);
    control->setRange(minimum, 255);
    control->setSingleStep(1);
    control->setPageStep(1);
    place(*control, name, left, top, 2715, 255);
    return control;
}

} // namespace

Colors::Colors(QWidget& owner, const Texts& texts, SettingsStore& store, bool ownerOnTop)
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_texts(texts), m_store(store) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    createControls();
    // Load: the dialog shares the owner's band and opens with the stored
    // opacity, then shows the stored values. Nothing is connected yet, so
    // setting the sliders here sends nothing.
    SetAlwaysOnTop(*this, ownerOnTop);
    if (const auto alpha = toByte(readSetting(m_store, Key::Alpha)))
        SetWindowAlpha(*this, *alpha);
    setSlider(*m_A, Key::Alpha);
    for (int set = 0; set < 3; ++set)
        for (int component = 0; component < 3; ++component)
            setSlider(*m_slider[set][component], colourKeys(set)[component]);
    for (int set = 0; set < 3; ++set)
        updatePreview(set);
    connectControls();

    const QRect ownerFrame = owner.frameGeometry();
    move(ownerFrame.center() - rect().center());
}

void Colors::createControls() {
    setWindowTitle(QString::fromUtf8(m_texts.colorsCaption));
    setFixedSize(toPixels(kClientWidth), toPixels(kClientHeight));
    setFont(tahoma(8.25, true));

    const char* frameNames[] = {"DYSK", "RAM", "CPU"};
    const char* frameCaptions[] = {m_texts.driveFrame, m_texts.memoryFrame, m_texts.cpuFrame};
    const char* componentNames[] = {"R", "G", "B"};
    const int componentTops[] = {300, 660, 1020};
    const int captionTops[] = {360, 720, 1080};
    const int captionWidths[] = {120, 120, 105};
    // The captions R, G, B are numbered across the frames as the layout has them.
    const int captionIndex[3][3] = {{0, 2, 1}, {5, 3, 4}, {6, 8, 7}};
    for (int set = 0; set < 3; ++set) {
        m_frame[set] = new QGroupBox(QString::fromUtf8(frameCaptions[set]), this);
        place(*m_frame[set], QString::fromLatin1(frameNames[set]), kFrameLeft[set], 120, 3255,
              1455);
        for (int component = 0; component < 3; ++component) {
            m_slider[set][component] = slider(
                m_frame[set], QStringLiteral("%1%2").arg(componentNames[component]).arg(set + 1),
                360, componentTops[component], 0);
            auto* caption =
                new QLabel(QString::fromLatin1(componentNames[component]), m_frame[set]);
            place(*caption, QStringLiteral("Stat%1").arg(captionIndex[set][component]), 180,
                  captionTops[component], captionWidths[component], 195);
        }
        m_preview[set] = new Bar(this, false);
        place(*m_preview[set], QStringLiteral("P%1").arg(set + 1), kFrameLeft[set], 1620, 3255,
              315);
    }

    auto* alphaCaption = new QLabel(QString::fromUtf8(m_texts.alphaCaption), this);
    place(*alphaCaption, QStringLiteral("Stat9"), m_texts.alphaCaptionLeft, 2130,
          m_texts.alphaCaptionWidth, 195);
    m_A = slider(this, QStringLiteral("A"), 3960, 2100, kLowestAlpha);
    m_A->setPageStep(16);

    m_OKButton = new QPushButton(QString::fromUtf8(shared::kOk), this);
    place(*m_OKButton, QStringLiteral("OKButton"), 7560, 2040, 1215, 375);
    m_OKButton->setDefault(true);
    m_CancelButton = new QPushButton(QString::fromUtf8(shared::kCancel), this);
    place(*m_CancelButton, QStringLiteral("CancelButton"), 9060, 2040, 1215, 375);

    const auto& [r1, g1, b1] = m_slider[0];
    const auto& [r2, g2, b2] = m_slider[1];
    const auto& [r3, g3, b3] = m_slider[2];
    QWidget* const focusOrder[] = {m_OKButton, m_CancelButton, r1, g1, b1, b2, g2, r2, r3, g3, b3,
                                   m_A};
    for (std::size_t i = 1; i < std::size(focusOrder); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    m_OKButton->setFocus();
}

void Colors::connectControls() {
    for (int set = 0; set < 3; ++set)
        for (QSlider* component : m_slider[set])
            connect(component, &QSlider::valueChanged, this,
                    [this, set] { onColourSliderChanged(set); });
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

void Colors::updatePreview(int set) {
    const auto& [red, green, blue] = m_slider[set];
    m_preview[set]->setFillColour(QColor(red->value(), green->value(), blue->value()));
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
    for (int set = 0; set < 3; ++set)
        for (int component = 0; component < 3; ++component)
            saveSetting(m_store, colourKeys(set)[component],
                        QString::number(m_slider[set][component]->value()));
    saveSetting(m_store, Key::Alpha, QString::number(m_A->value()));
    m_store.flush();
    emit confirmed({previewColour(0), previewColour(1), previewColour(2)},
                   static_cast<std::uint8_t>(m_A->value()));
    accept();
}

} // namespace kelvora
