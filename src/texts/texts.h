// SPDX-License-Identifier: MIT
#pragma once

// The texts, identity and layout sizes that differ between the two language
// builds. Each program links exactly one definition, so neither carries the
// other's texts. Texts that both builds share live in shared_texts.h.

namespace kelvora {

struct Texts {
    // Identity. The title also names the settings file and the instance lock.
    const char* programTitle;
    const char* version;

    // Main window.
    const char* mainCaption;
    const char* options;
    const char* driveListCaption;
    const char* alwaysOnTop;
    const char* colorsButtonTip;
    const char* freePrefix;
    const char* usedPrefix;

    // Colour dialog.
    const char* colorsCaption;
    const char* driveFrame;
    const char* memoryFrame;
    const char* cpuFrame;
    const char* alphaCaption;

    // What screen readers say of controls whose own text does not tell
    // what they show: the bars, the readouts, the colour button and the
    // colour sliders, which are named after their set and colour.
    const char* driveUsedName;
    const char* driveFreeName;
    const char* memoryUsedName;
    const char* memoryFreeName;
    const char* cpuLoadName;
    const char* cpuFreeName;
    const char* colorsButtonName;
    const char* redName;
    const char* greenName;
    const char* blueName;

    // Layout sizes in twips.
    int alwaysOnTopHeight;
    int optionsWidth;
    int driveListCaptionLeft;
    int driveListCaptionWidth;
    int alphaCaptionLeft;
    int alphaCaptionWidth;
};

const Texts& englishTexts();
const Texts& polishTexts();

} // namespace kelvora
