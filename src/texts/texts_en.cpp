// SPDX-License-Identifier: MIT
#include "texts/texts.h"

namespace kelvora {

const Texts& englishTexts() {
    static constexpr Texts texts{
        .programTitle = "Monitor",
        .version = KELVORA_VERSION,
        .mainCaption = "System resources monitor",
        .options = "Options...",
        .driveListCaption = "Drive",
        .alwaysOnTop = "Always on top",
        .colorsButtonTip = "Colors config...",
        .freePrefix = "Free: ",
        .usedPrefix = "Used: ",
        .colorsCaption = "Colors config...",
        .driveFrame = "HDD",
        .memoryFrame = "RAM",
        .cpuFrame = "CPU",
        .alphaCaption = "Alpha (Transparency)",
        .driveUsedName = "Drive used",
        .driveFreeName = "Drive free",
        .memoryUsedName = "Memory used",
        .memoryFreeName = "Memory free",
        .cpuLoadName = "Processor load",
        .cpuFreeName = "Processor free",
        .colorsButtonName = "Colours",
        .redName = "red",
        .greenName = "green",
        .blueName = "blue",
        .alwaysOnTopHeight = 375,
        .optionsWidth = 1095,
        .driveListCaptionLeft = 2430,
        .driveListCaptionWidth = 450,
        .alphaCaptionLeft = 2040,
        .alphaCaptionWidth = 1845,
    };
    return texts;
}

} // namespace kelvora
