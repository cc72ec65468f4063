// SPDX-License-Identifier: MIT
#pragma once

namespace kelvora {

// Lets screen readers, through Qt's accessibility bridges, see a LevelBar as
// a progress bar with its level as the value, a ButtonLabel as a button with
// a press action, and a TitledWindow as a window named by its title, whose
// ShadowLabels are left out. Idempotent; the controls call it when made.
void registerAccessibleControls();

} // namespace kelvora
