// A 32-bit program on 64-bit Windows sees SysWOW64 where a path names
// System32, so an entry naming a 64-bit tool would open its 32-bit copy or
// nothing. The alias Sysnative reaches the real folder from such a program.
#pragma once

#include <string>

#include "launcher/launch_ports.h"

namespace launcher {

// `file` with its System32 folder named as Sysnative, when it names
// something inside the Windows folder's System32 (written as the Windows
// folder itself, %windir% or %SystemRoot%, any case, either slash) and that
// something is there in the 64-bit folder; otherwise `file` as it stands,
// since a file that only the 32-bit folder holds opens only as written. The
// folder alone stays as it is: a 64-bit window would find no Sysnative
// there.
std::string ThroughSysnative(const std::string& file, const std::string& windowsFolder,
                             FileProbe& probe);

}  // namespace launcher
