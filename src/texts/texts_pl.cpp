// SPDX-License-Identifier: MIT
#include "texts/texts.h"

namespace kelvora {

const Texts& polishTexts() {
    static constexpr Texts texts{
        .programTitle = "Kelvora",
        .version = KELVORA_VERSION,
        .mainCaption = "Kelvora zasobów systemowych",
        .options = "OPCJE...",
        .driveListCaption = "Dysk",
        .alwaysOnTop = "Zawsze na wierzchu",
        .colorsButtonTip = "Konfiguracja kolorów",
        .freePrefix = "Wolne: ",
        .usedPrefix = "Zajęte: ",
        .colorsCaption = "Ustamienia kolorów",
        .driveFrame = "Dysk",
        .memoryFrame = "Ram",
        .cpuFrame = "Procesor",
        .alphaCaption = "Alpha (Przeźroczystość)",
        .driveUsedName = "Zajęte miejsce na dysku",
        .driveFreeName = "Wolne miejsce na dysku",
        .memoryUsedName = "Zajęta pamięć",
        .memoryFreeName = "Wolna pamięć",
        .cpuLoadName = "Obciążenie procesora",
        .cpuFreeName = "Wolna moc procesora",
        .colorsButtonName = "Kolory",
        .redName = "czerwony",
        .greenName = "zielony",
        .blueName = "niebieski",
        .alwaysOnTopHeight = 315,
        .optionsWidth = 960,
        .driveListCaptionLeft = 2460,
        .driveListCaptionWidth = 420,
        .alphaCaptionLeft = 1830,
        .alphaCaptionWidth = 2055,
    };
    return texts;
}

} // namespace kelvora
