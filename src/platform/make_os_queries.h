// SPDX-License-Identifier: MIT
#pragma once

#include "platform/os_queries.h"

#include <memory>

namespace kelvora {

// The operating-system queries of the platform this program was built for.
// Never null; a figure the platform cannot supply fails per query instead.
std::unique_ptr<OsQueries> makeOsQueries();

} // namespace kelvora
