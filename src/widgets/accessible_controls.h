// SPDX-License-Identifier: MIT
#pragma once

namespace kelvora {

// Lets screen readers, through Qt's accessibility bridges, see a LevelBar as
// a progress bar with its level as the value and a ButtonLabel as a button
// with a press action. Idempotent; the controls call it when made.
void registerAccessibleControls();

} // namespace kelvora
