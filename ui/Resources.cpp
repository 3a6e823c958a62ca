#include "ui/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace.
static void initKinemoResourceFiles() {
    Q_INIT_RESOURCE(help);
    Q_INIT_RESOURCE(icons);
}

namespace kinemo {

void initResources() {
    static const bool done = (initKinemoResourceFiles(), true);
    (void)done;
}

}  // namespace kinemo
