// SPDX-License-Identifier: MIT
#pragma once

namespace kelvora {

// Opens the regular file `name` in the folder open as `folder` with `flags`
// (O_RDONLY, O_WRONLY or O_RDWR), making it with mode 0600 when absent and
// `create` is set. The descriptor that is checked is the one returned: a
// folder, FIFO, device or link at the name is never opened for reading or
// writing, and no step can wait. -1 for those and for whatever the system
// refuses; `created` tells whether this call made the file.
int openRegularFileAt(int folder, const char* name, int flags, bool create, bool& created);

} // namespace kelvora
