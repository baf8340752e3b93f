// The desktop program's command line: --demo, --image FILE.cue (repeatable), --home DIR,
// --no-tips and --device DEVICE, or the device alone as the desktop passes it for an audio CD.
#pragma once

#include <QStringList>
#include <optional>

#include "cdaccess/cd_access.h"

class QCoreApplication;

namespace lumbra::gui {

struct StartOptions {
    bool demo = false;
    QStringList images;
    QString home;
    bool noTips = false;  // an automated start: no tip of the day, whatever setup.ini says
    QString device;       // the drive to show first; empty: the first drive
};

// The options, or nullopt after the parser has printed why they are wrong.
std::optional<StartOptions> parseStartOptions(const QCoreApplication& app);

// How CD access starts: the system's drives, or virtual drives (the library beside the
// executable) holding the demo disc and the images. Nullopt, with a message on stderr, when
// virtual drives are asked for and the library is missing.
std::optional<CdAccessOptions> cdAccessOptions(const StartOptions& options);

}  // namespace lumbra::gui
