#pragma once

#include "editor/EditorSession.h"

namespace quendral {

// old API, goes when the tool has moved
using CarEditor = EditorSession;

} // namespace quendral
