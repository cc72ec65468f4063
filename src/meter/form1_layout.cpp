// SPDX-License-Identifier: MIT
// The main window's controls, their places and their looks.

#include "meter/form1.h"

#include "texts/shared_texts.h"
#include "widgets/fonts.h"
#include "widgets/pictures.h"
#include "widgets/twips.h"
#include "window_services/window_services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace kelvora {

namespace {

constexpr int kClientWidth = 6735;
constexpr int kClientHeight = 1695;

// A readout runs to the next column, so its text, which changes with every
// refresh, is never measured to fit it: measuring text was most of a tick's
// cost.
constexpr int kReadoutWidth = 3090;

// One meter row: its caption ends at 480, the frame starts at 540 with the
// bar on top, and the two readouts lie beneath.
struct RowPlaces {
    const char* caption;
    Place Stat;
    Place frame;
    Place bar;
    Place used;
    Place free;
};

constexpr RowPlaces kRowPlaces[] = {
    {shared::kDriveCaption,
     {"Stat0", 120, 180, 360, 195},
     {"DDF", 540, 180, 5955, 195},
     {"DDX", 540, 180, 1815, 195},
     {"dUsed", 555, 375, kReadoutWidth, 195},
     {"dFree", 3645, 375, kReadoutWidth, 195}},
    {shared::kMemoryCaption,
     {"Stat1", 90, 660, 390, 195},
     {"MDF", 540, 660, 5955, 195},
     {"MDX", 540, 660, 2115, 195},
     {"mUsed", 555, 855, kReadoutWidth, 195},
     {"mFree", 3645, 855, kReadoutWidth, 195}},
    {shared::kCpuCaption,
     {"Stat2", 150, 1140, 330, 195},
     {"PDF", 540, 1140, 5955, 195},
     {"PDX", 540, 1140, 1875, 195},
     {"pUsed", 555, 1335, kReadoutWidth, 195},
     {"pFree", 3645, 1335, kReadoutWidth, 195}},
};

// The options label with its shadow, and the options row, which lies below
// the client area until it is folded out. A few sizes differ by language.
struct OptionPlaces {
    Place Label1;
    Place Config;
    Place Stat3;
    Place Interval;
    Place Stat4;
    Place DYSK;
    Place AoT;
    Place LoadColors;
};

OptionPlaces optionPlaces(const Texts& texts) {
    return {
        .Label1 = {"Label1", 5505, 1380, texts.optionsWidth, 270},
        .Config = {"Config", 5475, 1350, texts.optionsWidth, 270},
        .Stat3 = {"Stat3", 120, 1800, 690, 195},
        .Interval = {"Interval", 840, 1740, 1515, 315},
        .Stat4 = {"Stat4", texts.driveListCaptionLeft, 1800, texts.driveListCaptionWidth, 195},
        .DYSK = {"DYSK", 2940, 1740, 1515, 315},
        .AoT = {"AoT", 4545, 1740, 1395, texts.alwaysOnTopHeight},
        .LoadColors = {"LoadColors", 6120, 1740, 375, 315},
    };
}

QLabel* caption(QWidget* parent, const Place& where, const char* text,
                Qt::Alignment alignment = Qt::AlignLeft) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(tahoma(8.25, QFont::Bold));
    label->setAlignment(alignment | Qt::AlignTop);
    place(*label, where);
    return label;
}

QLabel* readout(QWidget* parent, const Place& where) {
    QLabel* value = caption(parent, where, where.name);
    value->setTextFormat(Qt::PlainText);
    return value;
}

// The options label and its shadow differ only in colour.
void styleOptionsLabel(QLabel& label, const Place& where, const QColor& colour) {
    label.setFont(tahoma(11.25, QFont::Bold));
    setTextColour(label, colour);
    place(label, where);
}

void setBackground(QWidget& control, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = control.palette();
    palette.setColor(role, colour);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

} // namespace

void Form1::createControls() {
    setWindowTitle(QString::fromUtf8(m_texts.mainCaption));
    setWindowIcon(programIcon());
    setFixedSize(toPixels(kClientWidth), toPixels(kClientHeight));
    keepFrameFixed(*this);
    setFont(tahoma(8.25, QFont::Bold));

    struct RowControls {
        QLabel*& Stat;
        ShapeFrame*& frame;
        LevelBar*& bar;
        QLabel*& used;
        QLabel*& free;
    };
    const RowControls rows[] = {
        {m_Stat[0], m_DDF, m_DDX, m_dUsed, m_dFree},
        {m_Stat[1], m_MDF, m_MDX, m_mUsed, m_mFree},
        {m_Stat[2], m_PDF, m_PDX, m_pUsed, m_pFree},
    };
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        const RowPlaces& where = kRowPlaces[row];
        rows[row].Stat = caption(this, where.Stat, where.caption, Qt::AlignRight);
        rows[row].frame = new ShapeFrame(this);
        place(*rows[row].frame, where.frame);
        rows[row].bar = new LevelBar(this, *rows[row].frame);
        place(*rows[row].bar, where.bar);
        rows[row].used = readout(this, where.used);
        rows[row].free = readout(this, where.free);
    }
    m_DDX->setToolTip(QString::fromUtf8(shared::kUnitTip));
    m_MDX->setToolTip(QString::fromUtf8(shared::kUnitTip));

    const OptionPlaces options = optionPlaces(m_texts);
    // The shadow is made first so the caption lies above it and takes the
    // clicks.
    const QString optionsText = QString::fromUtf8(m_texts.options);
    m_Label1 = new ShadowLabel(optionsText, this);
    styleOptionsLabel(*m_Label1, options.Label1, QColor(192, 192, 192));
    m_Config = new ButtonLabel(optionsText, this);
    styleOptionsLabel(*m_Config, options.Config, QColor(86, 86, 86));
    m_Config->setExpanded(false);

    m_Stat[3] = caption(this, options.Stat3, shared::kIntervalCaption, Qt::AlignRight);
    m_Interval = new QComboBox(this);
    place(*m_Interval, options.Interval);
    m_Stat[4] = caption(this, options.Stat4, m_texts.driveListCaption, Qt::AlignRight);
    m_DYSK = new QComboBox(this);
    place(*m_DYSK, options.DYSK);
    setBackground(*m_DYSK, QPalette::Base, Qt::white);
    // The Polish caption is wider than the box and takes two lines of it.
    m_AoT =
        new WrappingCheckBox(QString::fromUtf8(m_texts.alwaysOnTop), QColor(226, 226, 226), this);
    place(*m_AoT, options.AoT);
    m_LoadColors = new QPushButton(this);
    place(*m_LoadColors, options.LoadColors);
    m_LoadColors->setIcon(colorsButtonIcon());
    m_LoadColors->setIconSize(QSize(kColorsButtonPictureSize, kColorsButtonPictureSize));
    m_LoadColors->setToolTip(QString::fromUtf8(m_texts.colorsButtonTip));

    describeForScreenReaders();
    filterClicks();
    // Hidden below the client area, the row must not take keyboard input
    // before it is first folded out.
    setOptionControlsEnabled(false);
}

// Screen readers read a value label's text as its name; the description
// tells which row it belongs to. The lists take their captions' names.
void Form1::describeForScreenReaders() {
    const std::pair<QWidget*, const char*> names[] = {
        {m_DDX, m_texts.driveUsedName},
        {m_MDX, m_texts.memoryUsedName},
        {m_PDX, m_texts.cpuLoadName},
        {m_LoadColors, m_texts.colorsButtonName},
    };
    for (const auto& [control, name] : names) {
        control->setAccessibleName(QString::fromUtf8(name));
    }
    const std::pair<QLabel*, const char*> descriptions[] = {
        {m_dUsed, m_texts.driveUsedName},  {m_dFree, m_texts.driveFreeName},
        {m_mUsed, m_texts.memoryUsedName}, {m_mFree, m_texts.memoryFreeName},
        {m_pUsed, m_texts.cpuLoadName},    {m_pFree, m_texts.cpuFreeName},
    };
    for (const auto& [label, description] : descriptions) {
        label->setAccessibleDescription(QString::fromUtf8(description));
    }
    m_Stat[3]->setBuddy(m_Interval);
    m_Stat[4]->setBuddy(m_DYSK);
    // The name stays the caption's. Qt 6.4 gives a closed list's current
    // entry to no screen reader, but they read a description with the name
    // and speak its changes while the list has the focus.
    for (QComboBox* list : {m_Interval, m_DYSK}) {
        connect(list, &QComboBox::currentTextChanged, list, &QWidget::setAccessibleDescription);
    }
}

// Only the options label and the two unit bars act on a click; none of these
// controls passes a double-click on to the surface. The options label filters
// its own.
void Form1::filterClicks() {
    m_ddxClicks = new ClickFilter(*m_DDX);
    m_mdxClicks = new ClickFilter(*m_MDX);
    for (QWidget* control : std::initializer_list<QWidget*>{m_PDX, m_Label1, m_Interval, m_DYSK,
                                                            m_AoT, m_LoadColors}) {
        new ClickFilter(*control);
    }
}

void Form1::fillLists(const std::vector<Drive>& drives) {
    for (const shared::IntervalEntry& entry : shared::kIntervals) {
        m_Interval->addItem(QString::fromUtf8(entry.text), entry.milliseconds);
    }
    // The list starts without a selection; loading selects the stored entry.
    m_Interval->setCurrentIndex(-1);
    for (const Drive& drive : drives) {
        m_DYSK->addItem(QString::fromStdString(drive.text), QByteArray::fromStdString(drive.root));
    }
    // Like a drive list that opens on the current drive: the root filesystem.
    m_DYSK->setCurrentIndex(std::ssize(drives) > kRootDriveIndex ? kRootDriveIndex
                                                                 : kRemovableDriveIndex);
}

} // namespace kelvora
