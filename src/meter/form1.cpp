// SPDX-License-Identifier: MIT
#include "meter/form1.h"

#include "colours/colors.h"
#include "meter/readouts.h"
#include "parsing/conversions.h"
#include "sampling/memory_disk.h"
#include "settings/settings_store.h"
#include "texts/shared_texts.h"
#include "widgets/pictures.h"
#include "widgets/twips.h"
#include "window_services/window_services.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace kelvora {

namespace {

// The frame the layout allows around the client area: caption bar and
// borders above, border below. The fold animation works on outer heights.
constexpr double kFrameHeightTwips = 405 + 45;
constexpr double kFoldStep = 50;
constexpr double kFoldedOutAbove = 2550;
constexpr double kFoldedInBelow = 2150;

constexpr int kCpuRefPeriodMs = 500;
// The refresh runs this fast until loading selects the stored interval.
constexpr int kAutoRFStartPeriodMs = 1;
constexpr int kFoldStepPeriodMs = 30;

} // namespace

// The fixed-size hint gives the window a fixed frame on Windows, which has
// no border to drag and no maximise box; X11 ignores it, and there the fixed
// size alone keeps window managers from resizing.
Form1::Form1(const Texts& texts, SettingsStore& store, OsQueries& os, std::vector<Drive> drives)
    : TitledWindow(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_texts(texts), m_store(store), m_os(os), m_background(mainBackground(1)), m_CpuRef(this),
      m_AutoRF(this), m_Rozwin(this), m_Zwin(this), m_CpuStat(os),
      m_driveUnit(defaultUnit(Key::HDDNumber, Key::HDDFormat, Key::HDDCounter)),
      m_memoryUnit(defaultUnit(Key::RAMNumber, Key::RAMFormat, Key::RAMCounter)),
      m_separator(QLocale::system().decimalPoint().toStdString()),
      m_shade([this] { return createStrip(); }) {
    setObjectName(QStringLiteral("Form1"));
    m_CpuRef.setObjectName(QStringLiteral("CpuRef"));
    m_AutoRF.setObjectName(QStringLiteral("AutoRF"));
    m_Rozwin.setObjectName(QStringLiteral("Rozwin"));
    m_Zwin.setObjectName(QStringLiteral("Zwin"));
    m_Rozwin.setInterval(kFoldStepPeriodMs);
    m_Zwin.setInterval(kFoldStepPeriodMs);
    createControls();
    fillLists(drives);
    m_DDX->setFillColour(defaultColour(kDriveColours));
    m_MDX->setFillColour(defaultColour(kMemoryColours));
    m_PDX->setFillColour(defaultColour(kCpuColours));
    m_requestedHeightTwips = toTwips(height()) + kFrameHeightTwips;
    connectControls();
    m_CpuRef.start(kCpuRefPeriodMs);
    m_AutoRF.start(kAutoRFStartPeriodMs);
}

Form1::~Form1() = default;

void Form1::connectControls() {
    connect(m_Config, &ButtonLabel::activated, this, &Form1::onConfigClicked);
    connect(&m_Rozwin, &QTimer::timeout, this, &Form1::onRozwinTimeout);
    connect(&m_Zwin, &QTimer::timeout, this, &Form1::onZwinTimeout);
    connect(m_Interval, &QComboBox::currentIndexChanged, this, &Form1::onIntervalChanged);
    connect(m_DYSK, &QComboBox::currentIndexChanged, this, &Form1::onDyskChanged);
    connect(m_AoT, &QCheckBox::stateChanged, this, &Form1::onAoTStateChanged);
    connect(m_LoadColors, &QPushButton::clicked, this, &Form1::onLoadColorsClicked);
    connect(m_ddxClicks, &ClickFilter::clicked, this, &Form1::onDdxClicked);
    connect(m_mdxClicks, &ClickFilter::clicked, this, &Form1::onMdxClicked);
    connect(&m_AutoRF, &QTimer::timeout, this, &Form1::onAutoRFTimeout);
    connect(&m_CpuRef, &QTimer::timeout, this, &Form1::onCpuRefTimeout);
}

// ---- Closing ------------------------------------------------------------------

void Form1::closeEvent(QCloseEvent* event) {
    storeClosingSettings();
    event->accept();
    // The strip and any open dialog go with the program, unasked.
    QApplication::exit(0);
}

void Form1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        m_separator = QLocale::system().decimalPoint().toStdString();
    }
    QWidget::changeEvent(event);
}

// ---- Surface ------------------------------------------------------------------

void Form1::paintEvent(QPaintEvent*) {
    paintGround(*this, m_background, mainBackground);
}

// Captions and value labels pass their double-clicks on to the surface. Only
// the left button's double-click switches, as it opens things on a desktop.
void Form1::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    ShadeMode(*this, m_shade, kShadeStrip);
}

void Form1::onStripDoubleClicked() {
    ShadeMode(*this, m_shade, kShadeMainWindow);
}

std::unique_ptr<WinShade> Form1::createStrip() {
    auto strip = std::make_unique<WinShade>();
    strip->load(toByte(readSetting(m_store, Key::Alpha)), *this,
                {m_DDX->fillColour(), m_MDX->fillColour(), m_PDX->fillColour()});
    connect(strip.get(), &WinShade::doubleClicked, this, &Form1::onStripDoubleClicked);
    return strip;
}

// ---- Options row ----------------------------------------------------------------

double Form1::outerHeightTwips() const {
    const double reported = toTwips(height()) + kFrameHeightTwips;
    return toPixels(m_requestedHeightTwips - kFrameHeightTwips) == height() ? m_requestedHeightTwips
                                                                            : reported;
}

void Form1::setOuterHeightTwips(double twips) {
    m_requestedHeightTwips = twips;
    setFixedHeight(toPixels(twips - kFrameHeightTwips));
}

void Form1::setOptionControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_Interval, m_DYSK, m_AoT, m_LoadColors}) {
        control->setEnabled(enabled);
    }
}

void Form1::onConfigClicked() {
    m_optionsOpen = !m_optionsOpen;
    m_Rozwin.stop();
    m_Zwin.stop();
    (m_optionsOpen ? m_Rozwin : m_Zwin).start();
    setOptionControlsEnabled(m_optionsOpen);
    m_Config->setExpanded(m_optionsOpen);
}

void Form1::onRozwinTimeout() {
    const double height = outerHeightTwips();
    if (height > kFoldedOutAbove) {
        m_Rozwin.stop();
    } else {
        setOuterHeightTwips(height + kFoldStep);
    }
}

void Form1::onZwinTimeout() {
    const double height = outerHeightTwips();
    if (height < kFoldedInBelow) {
        m_Zwin.stop();
    } else {
        setOuterHeightTwips(height - kFoldStep);
    }
}

void Form1::onIntervalChanged(int index) {
    if (index < 0) {
        return;
    }
    // A period of 0 would make a Qt timer fire continuously: it means stopped.
    const int period = m_Interval->itemData(index).toInt();
    if (period == 0) {
        m_AutoRF.stop();
    } else {
        m_AutoRF.start(period);
    }
}

void Form1::onDyskChanged(int) {
    memoryAndDriveTick();
    // Row captions keep their laid-out width, right-aligned against the bar.
    m_Stat[kDriveRow]->setText(QString::fromUtf8(m_DYSK->currentIndex() == kRemovableDriveIndex
                                                     ? shared::kRemovableDriveRow
                                                     : shared::kDriveCaption));
}

void Form1::onAoTStateChanged(int state) {
    SetAlwaysOnTop(*this, state == Qt::Checked);
}

void Form1::onLoadColorsClicked() {
    Colors dialog(*this, m_texts, m_store, m_AoT->isChecked());
    connect(&dialog, &Colors::confirmed, this, &Form1::onColorsConfirmed);
    dialog.exec();
}

void Form1::onColorsConfirmed(const std::array<QColor, 3>& colours, std::uint8_t alpha) {
    m_DDX->setFillColour(colours[0]);
    m_MDX->setFillColour(colours[1]);
    m_PDX->setFillColour(colours[2]);
    SetWindowAlpha(*this, alpha);
    SetWindowAlpha(m_shade.get(), alpha);
}

// ---- Units ------------------------------------------------------------------------

void Form1::onDdxClicked() {
    if (stepUnit(m_driveUnit)) {
        memoryAndDriveTick();
    }
}

void Form1::onMdxClicked() {
    if (stepUnit(m_memoryUnit)) {
        memoryAndDriveTick();
    }
}

} // namespace kelvora
