// The main window's controls, their places and their looks. Positions are the
// layout's twips, converted in one place.

#include "meter/form1.h"

#include "meter/fonts.h"
#include "meter/pictures.h"
#include "meter/twips.h"
#include "texts/shared_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace kelvora {

namespace {

constexpr int kClientWidth = 6735;
constexpr int kClientHeight = 1695;

QLabel* label(QWidget* parent, const char* name, const char* text, int left, int top, int width,
              int height, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* caption = new QLabel(QString::fromUtf8(text), parent);
    caption->setFont(tahoma(8.25, true));
    caption->setAlignment(alignment | Qt::AlignTop);
    place(*caption, QString::fromLatin1(name), left, top, width, height);
    return caption;
}

// A readout runs to the next column, so its text, which changes with every
// refresh, is never measured to fit it: measuring text was most of a tick's
// cost.
constexpr int kReadoutWidth = 3090;

QLabel* readout(QWidget* parent, const char* name, int left, int top) {
    QLabel* value = label(parent, name, name, left, top, kReadoutWidth, 195);
    value->setTextFormat(Qt::PlainText);
    return value;
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
    setFont(tahoma(8.25, true));

    constexpr auto right = Qt::AlignRight;
    // Row captions end at 480; frames start at 540 with the bars on top.
    m_Stat[0] = label(this, "Stat0", shared::kDriveRow, 120, 180, 360, 195, right);
    m_DDF = new ShapeFrame(this);
    place(*m_DDF, QStringLiteral("DDF"), 540, 180, 5955, 195);
    m_DDX = new Bar(this, false);
    place(*m_DDX, QStringLiteral("DDX"), 540, 180, 1815, 195);
    m_DDX->setToolTip(QString::fromUtf8(shared::kUnitTip));
    m_dUsed = readout(this, "dUsed", 555, 375);
    m_dFree = readout(this, "dFree", 3645, 375);

    m_Stat[1] = label(this, "Stat1", shared::kMemoryRow, 90, 660, 390, 195, right);
    m_MDF = new ShapeFrame(this);
    place(*m_MDF, QStringLiteral("MDF"), 540, 660, 5955, 195);
    m_MDX = new Bar(this, false);
    place(*m_MDX, QStringLiteral("MDX"), 540, 660, 2115, 195);
    m_MDX->setToolTip(QString::fromUtf8(shared::kUnitTip));
    m_mUsed = readout(this, "mUsed", 555, 855);
    m_mFree = readout(this, "mFree", 3645, 855);

    m_Stat[2] = label(this, "Stat2", shared::kCpuRow, 150, 1140, 330, 195, right);
    m_PDF = new ShapeFrame(this);
    place(*m_PDF, QStringLiteral("PDF"), 540, 1140, 5955, 195);
    m_PDX = new Bar(this, false);
    place(*m_PDX, QStringLiteral("PDX"), 540, 1140, 1875, 195);
    m_pUsed = readout(this, "pUsed", 555, 1335);
    m_pFree = readout(this, "pFree", 3645, 1335);

    // The shadow is made first so the caption lies above it and takes the
    // clicks.
    const QString options = QString::fromUtf8(m_texts.options);
    m_Label1 = new QLabel(options, this);
    m_Label1->setFont(tahoma(11.25, true));
    setTextColour(*m_Label1, QColor(192, 192, 192));
    place(*m_Label1, QStringLiteral("Label1"), 5505, 1380, m_texts.optionsWidth, 270);
    m_Config = new QLabel(options, this);
    m_Config->setFont(tahoma(11.25, true));
    setTextColour(*m_Config, QColor(86, 86, 86));
    place(*m_Config, QStringLiteral("Config"), 5475, 1350, m_texts.optionsWidth, 270);

    // The options row lies below the client area until it is folded out.
    m_Stat[3] = label(this, "Stat3", shared::kIntervalCaption, 120, 1800, 690, 195, right);
    m_Interval = new QComboBox(this);
    place(*m_Interval, QStringLiteral("Interval"), 840, 1740, 1515, 315);
    m_Stat[4] = label(this, "Stat4", m_texts.driveListCaption, m_texts.driveListCaptionLeft, 1800,
                      m_texts.driveListCaptionWidth, 195, right);
    m_DYSK = new QComboBox(this);
    place(*m_DYSK, QStringLiteral("DYSK"), 2940, 1740, 1515, 315);
    setBackground(*m_DYSK, QPalette::Base, Qt::white);
    m_AoT = new QCheckBox(QString::fromUtf8(m_texts.alwaysOnTop), this);
    place(*m_AoT, QStringLiteral("AoT"), 4545, 1740, 1395, m_texts.alwaysOnTopHeight);
    setBackground(*m_AoT, QPalette::Window, QColor(226, 226, 226));
    // The caption sits as close to its box as on the classic check box, so
    // that it fits the layout's width.
    m_AoT->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
    m_LoadColors = new QPushButton(this);
    place(*m_LoadColors, QStringLiteral("LoadColors"), 6120, 1740, 375, 315);
    QIcon picture;
    for (const int scale : {1, 2})
        picture.addPixmap(QPixmap::fromImage(colorsButtonPicture(scale)));
    m_LoadColors->setIcon(picture);
    m_LoadColors->setIconSize(QSize(20, 20));
    m_LoadColors->setToolTip(QString::fromUtf8(m_texts.colorsButtonTip));
    // Screen readers read a value label's text as its name; the description
    // tells which row it belongs to.
    const std::pair<QWidget*, const char*> roles[] = {
        {m_DDX, "Drive used"},     {m_dUsed, "Drive used"},     {m_dFree, "Drive free"},
        {m_MDX, "Memory used"},    {m_mUsed, "Memory used"},    {m_mFree, "Memory free"},
        {m_PDX, "Processor load"}, {m_pUsed, "Processor used"}, {m_pFree, "Processor free"},
        {m_Interval, "Interval"},  {m_DYSK, "Drive"},           {m_LoadColors, "Colours"},
    };
    for (const auto& [control, role] : roles) {
        if (qobject_cast<QLabel*>(control))
            control->setAccessibleDescription(QString::fromLatin1(role));
        else
            control->setAccessibleName(QString::fromLatin1(role));
    }

    // Only the options label and the two unit bars act on a click; none of
    // these controls passes a double-click on to the surface.
    m_configClicks = new ClickFilter(*m_Config);
    m_ddxClicks = new ClickFilter(*m_DDX);
    m_mdxClicks = new ClickFilter(*m_MDX);
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_PDX, m_Label1, m_Interval, m_DYSK, m_AoT, m_LoadColors})
        new ClickFilter(*control);
    // Hidden below the client area, the row must not take keyboard input
    // before it is first folded out.
    setOptionControlsEnabled(false);

    m_CpuRef.setObjectName(QStringLiteral("CpuRef"));
    m_AutoRF.setObjectName(QStringLiteral("AutoRF"));
    m_Rozwin.setObjectName(QStringLiteral("Rozwin"));
    m_Zwin.setObjectName(QStringLiteral("Zwin"));
    m_Rozwin.setInterval(30);
    m_Zwin.setInterval(30);
}

void Form1::fillLists(const std::vector<Drive>& drives) {
    for (const shared::IntervalEntry& entry : shared::kIntervals)
        m_Interval->addItem(QString::fromUtf8(entry.text), entry.milliseconds);
    // The list starts without a selection; loading selects the stored entry.
    m_Interval->setCurrentIndex(-1);
    for (const Drive& drive : drives)
        m_DYSK->addItem(QString::fromStdString(drive.text), QByteArray::fromStdString(drive.root));
    // Like a drive list that opens on the current drive: the root filesystem.
    m_DYSK->setCurrentIndex(drives.size() > 1 ? 1 : 0);
}

} // namespace kelvora
