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
