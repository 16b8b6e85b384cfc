#pragma once

#include "launch/launch_profile.h"

namespace tarnwick {

// The port's command line for a profile: the executable, then each option's argument
// word and value in the port's fixed order, blanks trimmed at both ends. Values go in
// verbatim; a path with blanks is quoted only if the field itself holds the quotes.
QString composeCommandLine(const LaunchProfile& p);

} // namespace tarnwick
