#include "meter/form1.h"

#include "colours/colors.h"
#include "meter/number_format.h"
#include "meter/pictures.h"
#include "meter/twips.h"
#include "sampling/memory_disk.h"
#include "settings/conversions.h"
#include "settings/settings_store.h"
#include "texts/shared_texts.h"
#include "window_services/window_services.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>

#include <algorithm>
#include <charconv>
#include <functional>
#include <iterator>
#include <limits>

namespace kelvora {

namespace {

// The frame the layout allows around the client area: caption bar and
// borders above, border below. The fold animation works on outer heights.
constexpr double kFrameHeightTwips = 405 + 45;
constexpr double kFoldStep = 50;
constexpr double kFoldedOutAbove = 2550;
constexpr double kFoldedInBelow = 2150;

constexpr int kDriveRow = 0;
constexpr int kMemoryRow = 1;
constexpr int kCpuRow = 2;

// A unit state as it stands when nothing is stored; a failed loading step
// leaves its value at this.
UnitState defaultUnit(Key number, Key format, Key counter) {
    return {.counter = *toInt16(definitionOf(counter).defaultText),
            .pattern = definitionOf(format).defaultText,
            .divisor = *toInt32(definitionOf(number).defaultText)};
}

// A bar's colour from its three stored components; empty when one of them is
// not a whole number from 0 to 255.
template <typename Read> std::optional<QColor> composeColour(int set, Read read) {
    std::array<int, 3> rgb{};
    const std::array<Key, 3> keys = colourKeys(set);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto component = toInt16(read(keys[i]));
        if (!component || *component < 0 || *component > 255)
            return std::nullopt;
        rgb[i] = *component;
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

// A bar's colour when nothing is stored; a failed loading step leaves it.
QColor defaultColour(int set) {
    return *composeColour(set, [](Key key) { return definitionOf(key).defaultText; });
}

} // namespace

Form1::Form1(const Texts& texts, SettingsStore& store, OsQueries& os, std::vector<Drive> drives)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      m_texts(texts), m_store(store), m_os(os), m_background(mainBackground(1)), m_CpuRef(this),
      m_AutoRF(this), m_Rozwin(this), m_Zwin(this),
      m_driveUnit(defaultUnit(Key::HDDNumber, Key::HDDFormat, Key::HDDCounter)),
      m_memoryUnit(defaultUnit(Key::RAMNumber, Key::RAMFormat, Key::RAMCounter)),
      m_separator(QLocale::system().decimalPoint().toStdString()),
      m_shade([this] { return createStrip(); }) {
    setObjectName(QStringLiteral("Form1"));
    createControls();
    fillLists(drives);
    m_DDX->setFillColour(defaultColour(0));
    m_MDX->setFillColour(defaultColour(1));
    m_PDX->setFillColour(defaultColour(2));
    m_requestedHeightTwips = toTwips(height()) + kFrameHeightTwips;
    connectControls();
    m_CpuRef.start(500);
    m_AutoRF.start(1);
}

Form1::~Form1() = default;

void Form1::connectControls() {
    connect(m_configClicks, &ClickFilter::clicked, this, &Form1::onConfigClicked);
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

// ---- Loading and closing ----------------------------------------------------

void Form1::load() {
    const std::function<bool()> steps[] = {
        [this] { return loadLeft(); },
        [this] { return loadTop(); },
        [this] { return loadInterval(); },
        [this] { return loadAoT(); },
        [this] { return loadUnitNumber(Key::HDDNumber, m_driveUnit); },
        [this] { return loadUnitFormat(Key::HDDFormat, m_driveUnit); },
        [this] { return loadUnitCounter(Key::HDDCounter, m_driveUnit); },
        [this] { return loadUnitNumber(Key::RAMNumber, m_memoryUnit); },
        [this] { return loadUnitFormat(Key::RAMFormat, m_memoryUnit); },
        [this] { return loadUnitCounter(Key::RAMCounter, m_memoryUnit); },
        [this] { return loadDysk(); },
        [this] { return loadBarColour(0, *m_DDX); },
        [this] { return loadBarColour(1, *m_MDX); },
        [this] { return loadBarColour(2, *m_PDX); },
        [this] { return loadAlpha(); },
    };
    // A failed step is skipped and falls back to the root drive at once, so
    // a later drive step can still restore the stored drive.
    for (const auto& step : steps)
        if (!step())
            m_DYSK->setCurrentIndex(1);
    if (!m_CpuStat)
        m_CpuStat = std::make_unique<CPUState>(m_os);
    m_CpuStat->Initialize();
    memoryAndDriveTick();
}

bool Form1::loadLeft() {
    const auto left = toSingle(readSetting(m_store, Key::Left));
    if (left)
        move(toPixels(*left), y());
    return left.has_value();
}

bool Form1::loadTop() {
    const auto top = toSingle(readSetting(m_store, Key::Top));
    if (top)
        move(x(), toPixels(*top));
    return top.has_value();
}

bool Form1::loadInterval() {
    const auto index = toInt16(readSetting(m_store, Key::Interval));
    if (!index || *index < 0 || *index >= m_Interval->count())
        return false;
    m_Interval->setCurrentIndex(*index);
    return true;
}

bool Form1::loadAoT() {
    const auto state = toInt16(readSetting(m_store, Key::AoT));
    if (!state || (*state != 0 && *state != 1))
        return false;
    m_AoT->setChecked(*state == 1);
    return true;
}

bool Form1::loadUnitNumber(Key key, UnitState& unit) {
    const auto divisor = toInt32(readSetting(m_store, key));
    if (divisor)
        unit.divisor = *divisor;
    return divisor.has_value();
}

bool Form1::loadUnitFormat(Key key, UnitState& unit) {
    unit.pattern = readSetting(m_store, key);
    return true;
}

bool Form1::loadUnitCounter(Key key, UnitState& unit) {
    const auto counter = toInt16(readSetting(m_store, key));
    if (counter)
        unit.counter = *counter;
    return counter.has_value();
}

bool Form1::loadDysk() {
    const std::string stored = readSetting(m_store, Key::Dysk);
    const auto number = parseNumber(stored);
    if (!number)
        return false;
    // The removable-media entry is never restored: a stick may be gone.
    if (*number == 0) {
        m_DYSK->setCurrentIndex(1);
        return true;
    }
    const auto index = toInt16(stored);
    if (!index || *index < 0 || *index >= m_DYSK->count())
        return false;
    m_DYSK->setCurrentIndex(*index);
    return true;
}

bool Form1::loadBarColour(int set, Bar& bar) {
    const auto colour = composeColour(set, [this](Key key) { return readSetting(m_store, key); });
    if (colour)
        bar.setFillColour(*colour);
    return colour.has_value();
}

bool Form1::loadAlpha() {
    const auto alpha = toByte(readSetting(m_store, Key::Alpha));
    if (alpha)
        SetWindowAlpha(*this, *alpha);
    return alpha.has_value();
}

void Form1::closeEvent(QCloseEvent* event) {
    storeSettings();
    event->accept();
    // The strip and any open dialog go with the program, unasked.
    QApplication::exit(0);
}

void Form1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange)
        m_separator = QLocale::system().decimalPoint().toStdString();
    QWidget::changeEvent(event);
}

void Form1::storeSettings() {
    const auto number = [](long long value) { return QString::number(value); };
    saveSetting(m_store, Key::Left, QString::fromStdString(singleToText(toTwips(x()))));
    saveSetting(m_store, Key::Top, QString::fromStdString(singleToText(toTwips(y()))));
    saveSetting(m_store, Key::Interval, number(m_Interval->currentIndex()));
    saveSetting(m_store, Key::AoT, number(m_AoT->isChecked() ? 1 : 0));
    saveSetting(m_store, Key::Dysk, number(m_DYSK->currentIndex()));
    saveSetting(m_store, Key::HDDNumber, number(m_driveUnit.divisor));
    saveSetting(m_store, Key::HDDFormat, QString::fromStdString(m_driveUnit.pattern));
    saveSetting(m_store, Key::HDDCounter, number(m_driveUnit.counter));
    saveSetting(m_store, Key::RAMNumber, number(m_memoryUnit.divisor));
    saveSetting(m_store, Key::RAMFormat, QString::fromStdString(m_memoryUnit.pattern));
    saveSetting(m_store, Key::RAMCounter, number(m_memoryUnit.counter));
    m_store.flush();
}

// ---- Surface ------------------------------------------------------------------

void Form1::paintEvent(QPaintEvent*) {
    paintGround(*this, m_background, mainBackground);
}

// Captions and value labels pass their double-clicks on to the surface.
void Form1::mouseDoubleClickEvent(QMouseEvent*) {
    ShadeMode(*this, m_shade, 2);
}

void Form1::onStripDoubleClicked() {
    ShadeMode(*this, m_shade, 1);
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
         std::initializer_list<QWidget*>{m_Interval, m_DYSK, m_AoT, m_LoadColors})
        control->setEnabled(enabled);
}

void Form1::onConfigClicked() {
    m_optionsOpen = !m_optionsOpen;
    m_Rozwin.stop();
    m_Zwin.stop();
    (m_optionsOpen ? m_Rozwin : m_Zwin).start();
    setOptionControlsEnabled(m_optionsOpen);
}

void Form1::onRozwinTimeout() {
    const double height = outerHeightTwips();
    if (height > kFoldedOutAbove)
        m_Rozwin.stop();
    else
        setOuterHeightTwips(height + kFoldStep);
}

void Form1::onZwinTimeout() {
    const double height = outerHeightTwips();
    if (height < kFoldedInBelow)
        m_Zwin.stop();
    else
        setOuterHeightTwips(height - kFoldStep);
}

void Form1::onIntervalChanged(int index) {
    if (index < 0)
        return;
    // A period of 0 would make a Qt timer fire continuously: it means stopped.
    const int period = m_Interval->itemData(index).toInt();
    if (period == 0)
        m_AutoRF.stop();
    else
        m_AutoRF.start(period);
}

void Form1::onDyskChanged(int) {
    memoryAndDriveTick();
    // Row captions keep their laid-out width, right-aligned against the bar.
    m_Stat[0]->setText(QString::fromUtf8(m_DYSK->currentIndex() == 0 ? shared::kRemovableDriveRow
                                                                     : shared::kDriveRow));
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
    if (stepUnit(m_driveUnit))
        memoryAndDriveTick();
}

void Form1::onMdxClicked() {
    if (stepUnit(m_memoryUnit))
        memoryAndDriveTick();
}

// ---- Refresh ----------------------------------------------------------------------

void Form1::onAutoRFTimeout() {
    memoryAndDriveTick();
}

void Form1::onCpuRefTimeout() {
    cpuTick();
}

QByteArray Form1::driveRoot() const {
    return m_DYSK->currentData().toByteArray();
}

namespace {

// Thrown when a figure cannot be divided by: a drive without medium (total 0),
// or a stored unit divisor of 0.
struct UnreadableFigure {};

double divide(double part, double whole) {
    if (whole == 0)
        throw UnreadableFigure{};
    return part / whole;
}

} // namespace

void Form1::memoryAndDriveTick() {
    try {
        refreshDriveAndMemory();
    } catch (const UnreadableFigure&) {
        // The rest of the tick is abandoned; the root drive's change handling
        // runs the tick again.
        m_DYSK->setCurrentIndex(1);
    }
}

void Form1::refreshDriveAndMemory() {
    const QByteArray rootText = driveRoot();
    const std::string_view root(rootText.constData(), static_cast<std::size_t>(rootText.size()));
    // Every figure is its own fresh query, so no readout shows a drive or
    // memory state older than the tick.
    const auto D = [&] { return ReadDiskSpace(m_os, root); };
    const auto total = [&] { return static_cast<double>(ReadMemoryStatus(m_os).totalPhys); };
    const auto avail = [&] { return static_cast<double>(ReadMemoryStatus(m_os).availPhys); };
    const auto used = [&] { return std::max(0.0, total() - avail()); };

    m_DDX->setWidthTwips(divide(D().Used, D().Total) * toTwips(m_DDF->width()));
    setCaption(*m_dFree, composeReadout(m_dFreeText, m_texts.freePrefix, D().Free, m_driveUnit,
                                        divide(D().Free, D().Total)));
    setCaption(*m_dUsed, composeReadout(m_dUsedText, m_texts.usedPrefix, D().Used, m_driveUnit,
                                        divide(D().Used, D().Total)));
    m_MDX->setWidthTwips(divide(used(), total()) * toTwips(m_MDF->width()));
    setCaption(*m_mFree, composeReadout(m_mFreeText, m_texts.freePrefix, avail(), m_memoryUnit,
                                        divide(avail(), total())));
    setCaption(*m_mUsed, composeReadout(m_mUsedText, m_texts.usedPrefix, used(), m_memoryUnit,
                                        divide(used(), total())));

    WinShade& strip = m_shade.get();
    strip.setMarkerWidthTwips(kDriveRow,
                              divide(D().Used, D().Total) * strip.trackWidthTwips(kDriveRow));
    strip.setMarkerWidthTwips(kMemoryRow,
                              divide(used(), total()) * strip.trackWidthTwips(kMemoryRow));
    strip.setStatCaption(kDriveRow,
                         composeStripCaption(kDriveRow, shared::kStripDrivePrefix, m_dFreeText));
    strip.setStatCaption(kMemoryRow,
                         composeStripCaption(kMemoryRow, shared::kStripMemoryPrefix, m_mFreeText));
}

const QString& Form1::composeReadout(TickText& readout, const char* prefix, double figure,
                                     const UnitState& unit, double share) {
    std::string& text = readout.restart();
    text += prefix;
    AppendFormat(text, divide(figure, unit.divisor), unit.pattern, m_separator);
    text += shared::kOpenBracket;
    AppendFormat(text, share, shared::kPercentPattern, m_separator);
    text += shared::kCloseBracket;
    return readout.text();
}

// The strip repeats a free readout of the main window behind its own prefix.
const QString& Form1::composeStripCaption(int row, const char* prefix, const TickText& readout) {
    TickText& caption = m_stripText[static_cast<std::size_t>(row)];
    std::string& text = caption.restart();
    text += prefix;
    text += readout.utf8();
    return caption.text();
}

const QString& Form1::composeLoad(TickText& readout, const char* prefix, int percent) {
    std::string& text = readout.restart();
    text += prefix;
    char digits[12];
    text.append(digits, std::to_chars(std::begin(digits), std::end(digits), percent).ptr);
    text += shared::kPercentSign;
    return readout.text();
}

void Form1::cpuTick() {
    if (!m_CpuStat)
        m_CpuStat = std::make_unique<CPUState>(m_os);
    // The reading is held as a 16-bit number; a wild clock jump must not
    // wrap it into a plausible-looking load.
    const auto load = static_cast<std::int16_t>(
        std::clamp<std::int32_t>(m_CpuStat->Query(), std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max()));
    m_PDX->setWidthTwips(load / 100.0 * toTwips(m_PDF->width()));
    setCaption(*m_pUsed, composeLoad(m_pUsedText, m_texts.usedPrefix, load));
    setCaption(*m_pFree, composeLoad(m_pFreeText, m_texts.freePrefix, 100 - load));
    WinShade& strip = m_shade.get();
    strip.setStatCaption(kCpuRow,
                         composeStripCaption(kCpuRow, shared::kStripCpuPrefix, m_pFreeText));
    strip.setMarkerWidthTwips(kCpuRow, load / 100.0 * strip.trackWidthTwips(kCpuRow));
}

} // namespace kelvora
